#include "XCommandTable.h"

#include "XCommandArguments.h"
#include "XException.h"

#include <exception>

namespace {
bool IsHelp(const std::string& inArgument)
{
    return inArgument == "--help" || inArgument == "-h" || inArgument == "help";
}
} // namespace

void XCommandTable::Add(XCommand inCommand)
{
    itsCommands.push_back(std::move(inCommand));
}

std::string XCommandTable::GetFullName(const XCommand& inCommand) const
{
    return inCommand.name.empty() ? inCommand.group : inCommand.group + " " + inCommand.name;
}

bool XCommandTable::HasGroup(const std::string& inGroup) const
{
    for (const XCommand& command : itsCommands)
        if (command.group == inGroup)
            return true;
    return false;
}

void XCommandTable::PrintHelp(std::ostream& inOut) const
{
    inOut << "Usage: kestrin3d COMMAND [ARGUMENTS] [OPTIONS]\n\nCommands:\n";
    for (const XCommand& command : itsCommands)
        inOut << "  " << GetFullName(command) << (command.usage.empty() ? "" : " ") << command.usage << "\n      "
              << command.summary << "\n";
    inOut << "\nRun 'kestrin3d COMMAND --help' for a command's options.\n";
}

void XCommandTable::PrintGroupHelp(const std::string& inGroup, std::ostream& inOut) const
{
    inOut << "Usage: kestrin3d " << inGroup << " COMMAND [ARGUMENTS] [OPTIONS]\n\nCommands:\n";
    for (const XCommand& command : itsCommands)
        if (command.group == inGroup)
            inOut << "  " << GetFullName(command) << (command.usage.empty() ? "" : " ") << command.usage << "\n      "
                  << command.summary << "\n";
    inOut << "\nRun 'kestrin3d " << inGroup << " COMMAND --help' for a command's options.\n";
}

void XCommandTable::PrintCommandHelp(const XCommand& inCommand, std::ostream& inOut) const
{
    inOut << "Usage: kestrin3d " << GetFullName(inCommand) << (inCommand.usage.empty() ? "" : " ") << inCommand.usage
          << "\n\n"
          << inCommand.summary << "\n";
    if (!inCommand.details.empty())
        inOut << "\n" << inCommand.details;
}

int XCommandTable::Run(const std::vector<std::string>& inArguments, std::ostream& inOut, std::ostream& inErr) const
{
    if (inArguments.empty()) {
        inErr << "kestrin3d: no command given\n\n";
        PrintHelp(inErr);
        return kUsage;
    }
    if (IsHelp(inArguments[0])) {
        PrintHelp(inOut);
        return kSuccess;
    }
    const std::string& group = inArguments[0];
    if (!HasGroup(group)) {
        inErr << "kestrin3d: there is no command '" << group << "'; run 'kestrin3d --help' to list the commands\n";
        return kUsage;
    }
    // A one-word command, or the group's subcommand named by the second word.
    const XCommand* found = nullptr;
    size_t words = 1;
    for (const XCommand& command : itsCommands) {
        if (command.group != group)
            continue;
        if (command.name.empty()) {
            found = &command;
            break;
        }
        if (inArguments.size() > 1 && inArguments[1] == command.name) {
            found = &command;
            words = 2;
            break;
        }
    }
    if (!found) {
        if (inArguments.size() > 1 && IsHelp(inArguments[1])) {
            PrintGroupHelp(group, inOut);
            return kSuccess;
        }
        if (inArguments.size() < 2)
            inErr << "kestrin3d: '" << group << "' needs a command\n\n";
        else
            inErr << "kestrin3d: '" << group << "' has no command '" << inArguments[1] << "'\n\n";
        PrintGroupHelp(group, inErr);
        return kUsage;
    }

    const std::vector<std::string> rest(inArguments.begin() + std::ptrdiff_t(words), inArguments.end());
    for (const std::string& argument : rest)
        if (argument == "--help" || argument == "-h") {
            PrintCommandHelp(*found, inOut);
            return kSuccess;
        }
    const std::string name = GetFullName(*found);
    try {
        return found->run(rest, inOut);
    } catch (const XUsageError& e) {
        inErr << "kestrin3d " << name << ": " << e.what() << "\n";
        return kUsage;
    } catch (const XException& e) {
        inErr << "kestrin3d " << name << ": " << e.GetErrorMessage() << "\n";
        return kFailure;
    } catch (const std::exception& e) {
        inErr << "kestrin3d " << name << ": " << e.what() << "\n";
        return kFailure;
    }
}
