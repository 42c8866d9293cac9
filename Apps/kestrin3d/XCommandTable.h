#pragma once
// The commands of kestrin3d and the dispatch from a command line to one of them.
// Each command group (movie, ...) adds its commands from its own source file;
// main() only lists the groups.
//
// Exit codes: 0 success, 1 the command failed (bad file, bad data), 2 the command
// line was wrong.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

class XCommandTable {
public:
    enum XExitCode { kSuccess = 0, kFailure = 1, kUsage = 2 };

    struct XCommand {
        std::string group;   // first word ("movie"); the whole name of a one-word command
        std::string name;    // second word ("new"), empty for a one-word command
        std::string usage;   // arguments after the name: "FILE [--name NAME]"
        std::string summary; // one line for the command list
        std::string details; // the option list of 'COMMAND --help'
        // Runs with the arguments after the command's words; returns the exit code.
        std::function<int(const std::vector<std::string>&, std::ostream& out)> run;
    };

    void Add(XCommand inCommand);

    // Runs the command named by the arguments (argv[1] on); help and errors go to
    // inOut and inErr. Exceptions of commands become messages and exit codes.
    int Run(const std::vector<std::string>& inArguments, std::ostream& inOut, std::ostream& inErr) const;

private:
    std::string GetFullName(const XCommand& inCommand) const;
    void PrintHelp(std::ostream& inOut) const;
    void PrintGroupHelp(const std::string& inGroup, std::ostream& inOut) const;
    void PrintCommandHelp(const XCommand& inCommand, std::ostream& inOut) const;
    bool HasGroup(const std::string& inGroup) const;

    std::vector<XCommand> itsCommands;
};
