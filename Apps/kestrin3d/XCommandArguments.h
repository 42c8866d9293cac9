#pragma once
// The arguments of one kestrin3d command: positional arguments and options, each
// option either a flag ("--force") or taking a value ("--name NAME" or
// "--name=NAME"). Anything the command does not know is a usage error.
#include "X3DMatrix.h"

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

// A command line that cannot be run: the text says what is wrong and what to type.
class XUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class XCommandArguments {
public:
    // inCommand names the command in messages ("movie new").
    XCommandArguments(const std::vector<std::string>& inArguments, const std::string& inCommand,
                      const std::set<std::string>& inValueOptions, const std::set<std::string>& inFlags = {});

    size_t GetPositionalCount() const { return itsPositionals.size(); }
    // The argument at inIndex; missing, it is a usage error naming inWhat ("FILE").
    const std::string& GetPositional(size_t inIndex, const char* inWhat) const;
    // More positional arguments than inCount are a usage error.
    void ExpectAtMostPositionals(size_t inCount) const;

    bool Has(const std::string& inOption) const;
    // The last value given for the option, or inDefault.
    std::string GetString(const std::string& inOption, const std::string& inDefault) const;
    // Every value given for a repeatable option, in order.
    std::vector<std::string> GetAll(const std::string& inOption) const;
    uint64_t GetUInt64(const std::string& inOption, uint64_t inDefault) const;
    double GetDouble(const std::string& inOption, double inDefault) const;
    // "X,Y,Z" as a 3 x 1 column vector.
    X3DMatrix GetVector3(const std::string& inOption, const X3DMatrix& inDefault) const;

    // Conversions of text that came from the command line; inWhat names it in errors.
    static uint64_t ParseUInt64(const std::string& inText, const std::string& inWhat);
    static double ParseDouble(const std::string& inText, const std::string& inWhat);
    static std::vector<double> ParseNumberList(const std::string& inText, const std::string& inWhat);

private:
    std::string itsCommand;
    std::vector<std::string> itsPositionals;
    std::map<std::string, std::vector<std::string>> itsOptions;
};
