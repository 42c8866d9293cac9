#include "XMiniXML.h"

#include "XException.h"

#include <cstring>

namespace {

class XParser {
public:
    explicit XParser(const std::string& inText) : itsText(inText) {}

    std::unique_ptr<XMiniXML::XElement> ParseDocument()
    {
        if (LookingAt("\xEF\xBB\xBF"))
            itsPos = 3; // byte order mark
        SkipMisc();
        if (AtEnd() || Peek() != '<')
            Fail("the document has no root element");
        auto root = ParseElement(0);
        SkipMisc();
        if (!AtEnd())
            Fail("there is content after the root element");
        return root;
    }

private:
    [[noreturn]] void Fail(const char* inWhat) const
    {
        throw XException(XException::kStreamCorrupt,
            XString("The XML metadata cannot be read: %1 (at byte %2).").Replace(XString(inWhat)).Replace(int64_t(itsPos)));
    }

    bool AtEnd() const { return itsPos >= itsText.size(); }
    char Peek() const { return itsText[itsPos]; }
    bool LookingAt(const char* inWhat) const { return itsText.compare(itsPos, std::strlen(inWhat), inWhat) == 0; }
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool IsNameChar(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':' ||
            c == '-' || c == '.' || (static_cast<unsigned char>(c) >= 0x80);
    }

    void SkipSpace()
    {
        while (!AtEnd() && IsSpace(Peek()))
            ++itsPos;
    }

    void SkipPast(const char* inEnd, const char* inWhat)
    {
        size_t at = itsText.find(inEnd, itsPos);
        if (at == std::string::npos)
            Fail(inWhat);
        itsPos = at + std::strlen(inEnd);
    }

    // White space, comments, processing instructions and the document type outside elements.
    void SkipMisc()
    {
        for (;;) {
            SkipSpace();
            if (LookingAt("<?"))
                SkipPast("?>", "a processing instruction is not closed");
            else if (LookingAt("<!--"))
                SkipPast("-->", "a comment is not closed");
            else if (LookingAt("<!DOCTYPE")) {
                // Internal subsets could declare entities; they are not supported.
                size_t close = itsText.find('>', itsPos);
                size_t bracket = itsText.find('[', itsPos);
                if (bracket != std::string::npos && (close == std::string::npos || bracket < close))
                    Fail("a document type with declarations is not supported");
                SkipPast(">", "the document type is not closed");
            } else
                return;
        }
    }

    XString ParseName()
    {
        size_t start = itsPos;
        while (!AtEnd() && IsNameChar(Peek()))
            ++itsPos;
        if (start == itsPos)
            Fail("a name was expected");
        return XString(itsText.substr(start, itsPos - start));
    }

    static void AppendUTF8(std::string& outText, uint32_t inCode)
    {
        if (inCode < 0x80)
            outText += char(inCode);
        else if (inCode < 0x800) {
            outText += char(0xC0 | (inCode >> 6));
            outText += char(0x80 | (inCode & 0x3F));
        } else if (inCode < 0x10000) {
            outText += char(0xE0 | (inCode >> 12));
            outText += char(0x80 | ((inCode >> 6) & 0x3F));
            outText += char(0x80 | (inCode & 0x3F));
        } else {
            outText += char(0xF0 | (inCode >> 18));
            outText += char(0x80 | ((inCode >> 12) & 0x3F));
            outText += char(0x80 | ((inCode >> 6) & 0x3F));
            outText += char(0x80 | (inCode & 0x3F));
        }
    }

    // Text up to inStop with entities decoded.
    std::string ParseCharacters(char inStop)
    {
        std::string out;
        while (!AtEnd() && Peek() != inStop) {
            char c = Peek();
            if (c != '&') {
                if (inStop != '<' && c == '<')
                    Fail("'<' inside an attribute value");
                out += c;
                ++itsPos;
                continue;
            }
            size_t semi = itsText.find(';', itsPos);
            if (semi == std::string::npos || semi - itsPos > 12)
                Fail("an entity reference is not closed");
            std::string entity = itsText.substr(itsPos + 1, semi - itsPos - 1);
            itsPos = semi + 1;
            if (entity == "lt") out += '<';
            else if (entity == "gt") out += '>';
            else if (entity == "amp") out += '&';
            else if (entity == "quot") out += '"';
            else if (entity == "apos") out += '\'';
            else if (entity.size() > 1 && entity[0] == '#') {
                bool hex = entity[1] == 'x' || entity[1] == 'X';
                const char* digits = entity.c_str() + (hex ? 2 : 1);
                if (!*digits)
                    Fail("a character reference has no digits");
                uint32_t code = 0;
                for (const char* p = digits; *p; ++p) {
                    int d = (*p >= '0' && *p <= '9') ? *p - '0'
                        : (hex && *p >= 'a' && *p <= 'f') ? *p - 'a' + 10
                        : (hex && *p >= 'A' && *p <= 'F') ? *p - 'A' + 10 : -1;
                    if (d < 0)
                        Fail("a character reference has a bad digit");
                    code = code * (hex ? 16 : 10) + uint32_t(d);
                    if (code > 0x10FFFF)
                        Fail("a character reference is out of range");
                }
                if (code == 0 || (code >= 0xD800 && code <= 0xDFFF))
                    Fail("a character reference names no character");
                AppendUTF8(out, code);
            } else
                Fail("an unknown entity is used");
        }
        return out;
    }

    std::unique_ptr<XMiniXML::XElement> ParseElement(size_t inDepth)
    {
        if (inDepth >= XMiniXML::kMaxDepth)
            Fail("elements are nested too deeply");
        if (++itsElementCount > XMiniXML::kMaxElements)
            Fail("there are too many elements");
        ++itsPos; // '<'
        auto element = std::make_unique<XMiniXML::XElement>();
        element->name = ParseName();
        for (;;) {
            SkipSpace();
            if (AtEnd())
                Fail("a start tag is not closed");
            if (LookingAt("/>")) {
                itsPos += 2;
                return element;
            }
            if (Peek() == '>') {
                ++itsPos;
                break;
            }
            XMiniXML::XAttribute attribute;
            attribute.name = ParseName();
            SkipSpace();
            if (AtEnd() || Peek() != '=')
                Fail("an attribute has no value");
            ++itsPos;
            SkipSpace();
            if (AtEnd() || (Peek() != '"' && Peek() != '\''))
                Fail("an attribute value is not quoted");
            char quote = Peek();
            ++itsPos;
            attribute.value = XString(ParseCharacters(quote));
            if (AtEnd())
                Fail("an attribute value is not closed");
            ++itsPos;
            element->attributes.push_back(std::move(attribute));
        }
        // Content.
        std::string text;
        for (;;) {
            if (AtEnd())
                Fail("an element is not closed");
            if (LookingAt("</")) {
                itsPos += 2;
                XString closing = ParseName();
                if (!(closing == element->name))
                    Fail("an end tag does not match its start tag");
                SkipSpace();
                if (AtEnd() || Peek() != '>')
                    Fail("an end tag is not closed");
                ++itsPos;
                element->text = XString(std::move(text));
                return element;
            }
            if (LookingAt("<!--"))
                SkipPast("-->", "a comment is not closed");
            else if (LookingAt("<![CDATA[")) {
                size_t start = itsPos + 9;
                SkipPast("]]>", "a CDATA section is not closed");
                text.append(itsText, start, itsPos - 3 - start);
            } else if (LookingAt("<?"))
                SkipPast("?>", "a processing instruction is not closed");
            else if (Peek() == '<')
                element->children.push_back(ParseElement(inDepth + 1));
            else
                text += ParseCharacters('<');
        }
    }

    const std::string& itsText;
    size_t itsPos = 0;
    size_t itsElementCount = 0;
};

} // namespace

XString XMiniXML::XElement::GetLocalName() const
{
    size_t colon = name.GetStdString().rfind(':');
    return colon == std::string::npos ? name : name.Mid(colon + 1);
}

const XString* XMiniXML::XElement::FindAttribute(const XString& inLocalName) const
{
    for (const XAttribute& a : attributes) {
        size_t colon = a.name.GetStdString().rfind(':');
        XString local = colon == std::string::npos ? a.name : a.name.Mid(colon + 1);
        if (local == inLocalName)
            return &a.value;
    }
    return nullptr;
}

XString XMiniXML::XElement::GetAttribute(const XString& inLocalName, const XString& inDefault) const
{
    const XString* value = FindAttribute(inLocalName);
    return value ? *value : inDefault;
}

const XMiniXML::XElement* XMiniXML::XElement::FindChild(const XString& inLocalName) const
{
    for (const auto& child : children)
        if (child->GetLocalName() == inLocalName)
            return child.get();
    return nullptr;
}

std::vector<const XMiniXML::XElement*> XMiniXML::XElement::FindChildren(const XString& inLocalName) const
{
    std::vector<const XElement*> found;
    for (const auto& child : children)
        if (child->GetLocalName() == inLocalName)
            found.push_back(child.get());
    return found;
}

const XMiniXML::XElement* XMiniXML::XElement::FindDescendant(const XString& inLocalName) const
{
    if (GetLocalName() == inLocalName)
        return this;
    for (const auto& child : children)
        if (const XElement* found = child->FindDescendant(inLocalName))
            return found;
    return nullptr;
}

std::unique_ptr<XMiniXML::XElement> XMiniXML::Parse(const XString& inDocument)
{
    XParser parser(inDocument.GetStdString());
    return parser.ParseDocument();
}
