#include "XCgDeclarations.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Comments become spaces, so that offsets and line breaks stay where they were.
std::string WithoutComments(const std::string& inSource)
{
    std::string text = inSource;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '/' && text[i + 1] == '/') {
            for (; i < text.size() && text[i] != '\n'; ++i)
                text[i] = ' ';
        } else if (text[i] == '/' && text[i + 1] == '*') {
            const size_t end = text.find("*/", i + 2);
            const size_t stop = end == std::string::npos ? text.size() : end + 2;
            for (; i < stop; ++i)
                if (text[i] != '\n')
                    text[i] = ' ';
            --i;
        }
    }
    return text;
}

std::vector<std::string> Tokens(const std::string& inText)
{
    std::vector<std::string> tokens;
    for (size_t i = 0; i < inText.size();) {
        if (std::isspace(static_cast<unsigned char>(inText[i]))) {
            ++i;
        } else if (IsWordChar(inText[i])) {
            size_t end = i;
            while (end < inText.size() && IsWordChar(inText[end]))
                ++end;
            tokens.push_back(inText.substr(i, end - i));
            i = end;
        } else if (i + 1 < inText.size() && (inText.compare(i, 2, "&&") == 0 || inText.compare(i, 2, "||") == 0)) {
            tokens.push_back(inText.substr(i, 2));
            i += 2;
        } else {
            tokens.push_back(std::string(1, inText[i++]));
        }
    }
    return tokens;
}

// A preprocessor condition of defined(), !, &&, || and whole numbers: 1 true, 0 false,
// -1 when it holds anything else.
class XCondition {
public:
    XCondition(const std::string& inText, const std::set<std::string>& inDefined)
        : itsTokens(Tokens(inText)), itsDefined(inDefined) {}

    int Evaluate()
    {
        const int value = Or();
        return itsAt == itsTokens.size() ? value : -1;
    }

private:
    std::vector<std::string> itsTokens;
    const std::set<std::string>& itsDefined;
    size_t itsAt = 0;

    bool Accept(const char* inToken)
    {
        if (itsAt < itsTokens.size() && itsTokens[itsAt] == inToken) {
            ++itsAt;
            return true;
        }
        return false;
    }

    static int And(int a, int b) { return a == 0 || b == 0 ? 0 : (a < 0 || b < 0 ? -1 : 1); }
    static int Or(int a, int b) { return a == 1 || b == 1 ? 1 : (a < 0 || b < 0 ? -1 : 0); }

    int Or()
    {
        int value = AndChain();
        while (Accept("||"))
            value = Or(value, AndChain());
        return value;
    }

    int AndChain()
    {
        int value = Unary();
        while (Accept("&&"))
            value = And(value, Unary());
        return value;
    }

    int Unary()
    {
        if (Accept("!")) {
            const int value = Unary();
            return value < 0 ? -1 : 1 - value;
        }
        if (Accept("(")) {
            const int value = Or();
            return Accept(")") ? value : -1;
        }
        if (itsAt >= itsTokens.size())
            return -1;
        const std::string token = itsTokens[itsAt++];
        if (token == "defined") {
            const bool parenthesised = Accept("(");
            if (itsAt >= itsTokens.size())
                return -1;
            const bool defined = itsDefined.count(itsTokens[itsAt++]) != 0;
            if (parenthesised && !Accept(")"))
                return -1;
            return defined ? 1 : 0;
        }
        if (std::isdigit(static_cast<unsigned char>(token[0])))
            return std::strtol(token.c_str(), nullptr, 0) != 0 ? 1 : 0;
        return -1; // a macro's value: not ours to expand
    }
};

struct XBranch {
    int taken;    // 1, 0 or -1 (undecided)
    int anyTaken; // whether an earlier branch of this conditional was taken
};

int Combine(const std::vector<XBranch>& inStack)
{
    int state = 1;
    for (const XBranch& branch : inStack) {
        if (branch.taken == 0)
            return 0;
        if (branch.taken < 0)
            state = -1;
    }
    return state;
}

const std::set<std::string> kQualifiers = {"lowp", "mediump", "highp", "const", "flat", "smooth", "invariant"};

// Declarations of one statement that starts with "uniform" at inTokens[inAt].
void ReadDeclaration(const std::string& inText, size_t inStatementStart, size_t inStatementEnd, bool inCertain,
                     std::vector<XCgDeclarations::XUniform>& outUniforms)
{
    const std::string statement = inText.substr(inStatementStart, inStatementEnd - inStatementStart);
    const std::vector<std::string> tokens = Tokens(statement);
    size_t at = 1; // past "uniform"
    while (at < tokens.size() && kQualifiers.count(tokens[at]))
        ++at;
    if (at >= tokens.size() || !IsWordChar(tokens[at][0]))
        return; // a block or something else we do not model
    const std::string typeName = tokens[at++];
    size_t searchFrom = statement.find(typeName) + typeName.size();
    while (at < tokens.size()) {
        const std::string& name = tokens[at];
        if (!IsWordChar(name[0]))
            return;
        XCgDeclarations::XUniform uniform;
        uniform.name = name;
        uniform.typeName = typeName;
        uniform.certain = inCertain;
        size_t nameAt = statement.find(name, searchFrom);
        while (nameAt != std::string::npos &&
               ((nameAt > 0 && IsWordChar(statement[nameAt - 1])) ||
                (nameAt + name.size() < statement.size() && IsWordChar(statement[nameAt + name.size()]))))
            nameAt = statement.find(name, nameAt + 1);
        uniform.offset = inStatementStart + (nameAt == std::string::npos ? 0 : nameAt);
        searchFrom = nameAt == std::string::npos ? searchFrom : nameAt + name.size();
        ++at;
        if (at < tokens.size() && tokens[at] == "[") {
            if (at + 1 < tokens.size())
                uniform.arraySize = std::max(1, int(std::strtol(tokens[at + 1].c_str(), nullptr, 0)));
            while (at < tokens.size() && tokens[at] != "]")
                ++at;
            ++at;
        }
        // An initialiser runs to the next comma outside brackets.
        if (at < tokens.size() && tokens[at] == "=") {
            int depth = 0;
            for (; at < tokens.size(); ++at) {
                if (tokens[at] == "(")
                    ++depth;
                else if (tokens[at] == ")")
                    --depth;
                else if (depth == 0 && tokens[at] == ",")
                    break;
            }
        }
        outUniforms.push_back(uniform);
        if (at >= tokens.size() || tokens[at] != ",")
            return;
        ++at;
    }
}
} // namespace

std::vector<XCgDeclarations::XUniform> XCgDeclarations::Scan(const std::string& inSource, std::set<std::string> inDefined)
{
    std::string text = WithoutComments(inSource);
    // Blank what the compilation does not see, and note where the undecided parts are.
    std::vector<char> certain(text.size(), 1);
    std::vector<XBranch> stack;
    for (size_t lineStart = 0; lineStart < text.size();) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = text.size();
        const size_t first = text.find_first_not_of(" \t\r", lineStart);
        const bool directive = first != std::string::npos && first < lineEnd && text[first] == '#';
        if (directive) {
            const std::vector<std::string> tokens = Tokens(text.substr(first + 1, lineEnd - first - 1));
            const std::string keyword = tokens.empty() ? std::string() : tokens[0];
            const std::string rest = text.substr(first + 1, lineEnd - first - 1);
            const std::string expression = keyword.empty() ? std::string() : rest.substr(rest.find(keyword) + keyword.size());
            const std::string subject = tokens.size() > 1 ? tokens[1] : std::string();
            if (keyword == "ifdef" || keyword == "ifndef") {
                const bool defined = inDefined.count(subject) != 0;
                const int taken = (keyword == "ifdef") == defined ? 1 : 0;
                stack.push_back({taken, taken});
            } else if (keyword == "if") {
                const int taken = XCondition(expression, inDefined).Evaluate();
                stack.push_back({taken, taken});
            } else if ((keyword == "elif" || keyword == "else") && !stack.empty()) {
                XBranch& branch = stack.back();
                int taken = branch.anyTaken == 1 ? 0 : (keyword == "else" ? 1 : XCondition(expression, inDefined).Evaluate());
                if (branch.anyTaken < 0 && taken != 0)
                    taken = -1;
                branch.taken = taken;
                branch.anyTaken = branch.anyTaken == 1 || taken == 1 ? 1 : (branch.anyTaken < 0 || taken < 0 ? -1 : 0);
            } else if (keyword == "endif" && !stack.empty()) {
                stack.pop_back();
            } else if (keyword == "define" && !subject.empty() && Combine(stack) == 1) {
                inDefined.insert(subject);
            } else if (keyword == "undef" && Combine(stack) == 1) {
                inDefined.erase(subject);
            }
        }
        const int state = directive ? 0 : Combine(stack);
        for (size_t i = lineStart; i < lineEnd; ++i) {
            if (state == 0)
                text[i] = ' ';
            certain[i] = state == 1;
        }
        lineStart = lineEnd + 1;
    }

    // Declarations: statements at the outer level that start with "uniform".
    std::vector<XUniform> uniforms;
    int depth = 0;
    size_t statementStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{') {
            ++depth;
            statementStart = i + 1;
        } else if (c == '}') {
            --depth;
            statementStart = i + 1;
        } else if (c == ';') {
            if (depth == 0) {
                size_t first = text.find_first_not_of(" \t\r\n", statementStart);
                // A layout qualifier comes before "uniform".
                if (first != std::string::npos && first < i && text.compare(first, 6, "layout") == 0) {
                    const size_t close = text.find(')', first);
                    first = close == std::string::npos || close > i ? std::string::npos
                                                                    : text.find_first_not_of(" \t\r\n", close + 1);
                }
                if (first != std::string::npos && first < i && text.compare(first, 7, "uniform") == 0 &&
                    !IsWordChar(text[first + 7]))
                    ReadDeclaration(text, first, i, certain[first] != 0, uniforms);
            }
            statementStart = i + 1;
        }
    }
    return uniforms;
}
