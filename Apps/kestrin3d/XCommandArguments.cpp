#include "XCommandArguments.h"

#include "XString.h"

#include <cmath>

XCommandArguments::XCommandArguments(const std::vector<std::string>& inArguments, const std::string& inCommand,
                                     const std::set<std::string>& inValueOptions, const std::set<std::string>& inFlags)
    : itsCommand(inCommand)
{
    const std::string seeHelp = "; run 'kestrin3d " + inCommand + " --help' to see its options";
    bool optionsEnded = false;
    for (size_t i = 0; i < inArguments.size(); ++i) {
        const std::string& argument = inArguments[i];
        if (optionsEnded || argument.size() < 2 || argument.compare(0, 2, "--") != 0 || argument == "--") {
            if (argument == "--" && !optionsEnded) {
                optionsEnded = true;
                continue;
            }
            // A lone "-5" is a value, not an option: negative numbers are common here.
            itsPositionals.push_back(argument);
            continue;
        }
        std::string name = argument;
        std::string value;
        bool hasValue = false;
        if (const size_t equals = argument.find('='); equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            hasValue = true;
        }
        if (inFlags.count(name)) {
            if (hasValue)
                throw XUsageError("option " + name + " of '" + inCommand + "' takes no value" + seeHelp);
            itsOptions[name].push_back("");
        } else if (inValueOptions.count(name)) {
            if (!hasValue) {
                if (i + 1 >= inArguments.size())
                    throw XUsageError("option " + name + " of '" + inCommand + "' needs a value" + seeHelp);
                value = inArguments[++i];
            }
            itsOptions[name].push_back(value);
        } else {
            throw XUsageError("'" + inCommand + "' has no option " + name + seeHelp);
        }
    }
}

const std::string& XCommandArguments::GetPositional(size_t inIndex, const char* inWhat) const
{
    if (inIndex >= itsPositionals.size())
        throw XUsageError("'" + itsCommand + "' needs " + inWhat + "; run 'kestrin3d " + itsCommand +
                          " --help' for its usage");
    return itsPositionals[inIndex];
}

void XCommandArguments::ExpectAtMostPositionals(size_t inCount) const
{
    if (itsPositionals.size() > inCount)
        throw XUsageError("'" + itsCommand + "' does not take the argument '" + itsPositionals[inCount] +
                          "'; run 'kestrin3d " + itsCommand + " --help' for its usage");
}

bool XCommandArguments::Has(const std::string& inOption) const
{
    return itsOptions.count(inOption) != 0;
}

std::string XCommandArguments::GetString(const std::string& inOption, const std::string& inDefault) const
{
    auto it = itsOptions.find(inOption);
    return it == itsOptions.end() ? inDefault : it->second.back();
}

std::vector<std::string> XCommandArguments::GetAll(const std::string& inOption) const
{
    auto it = itsOptions.find(inOption);
    return it == itsOptions.end() ? std::vector<std::string>() : it->second;
}

uint64_t XCommandArguments::GetUInt64(const std::string& inOption, uint64_t inDefault) const
{
    return Has(inOption) ? ParseUInt64(GetString(inOption, ""), "the value of " + inOption) : inDefault;
}

double XCommandArguments::GetDouble(const std::string& inOption, double inDefault) const
{
    return Has(inOption) ? ParseDouble(GetString(inOption, ""), "the value of " + inOption) : inDefault;
}

X3DMatrix XCommandArguments::GetVector3(const std::string& inOption, const X3DMatrix& inDefault) const
{
    if (!Has(inOption))
        return inDefault;
    const std::vector<double> values = ParseNumberList(GetString(inOption, ""), "the value of " + inOption);
    if (values.size() != 3)
        throw XUsageError("the value of " + inOption + " must be three numbers X,Y,Z, such as 0,0,2");
    return X3DMatrix::ColumnVector(values[0], values[1], values[2]);
}

uint64_t XCommandArguments::ParseUInt64(const std::string& inText, const std::string& inWhat)
{
    uint64_t value = 0;
    if (!XString(inText).TryGetUInt64(value))
        throw XUsageError(inWhat + " must be a whole number of 0 or more, not '" + inText + "'");
    return value;
}

double XCommandArguments::ParseDouble(const std::string& inText, const std::string& inWhat)
{
    double value = 0;
    if (!XString(inText).TryGetSFloat64(value) || !std::isfinite(value))
        throw XUsageError(inWhat + " must be a number, not '" + inText + "'");
    return value;
}

std::vector<double> XCommandArguments::ParseNumberList(const std::string& inText, const std::string& inWhat)
{
    std::vector<double> values;
    for (const XString& part : XString(inText).Split(','))
        values.push_back(ParseDouble(part.Stripped().GetStdString(), inWhat));
    return values;
}
