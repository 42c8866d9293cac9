#pragma once
// A small XML reader for the metadata that image files carry (OME-XML): elements,
// attributes and text, with the five named entities and numeric character
// references. Namespace prefixes are kept in the name but ignored by the finders.
// No DTDs, no external entities: a document that needs them is refused.
#include "XString.h"

#include <memory>
#include <vector>

class XMiniXML {
public:
    struct XAttribute {
        XString name;
        XString value;
    };

    struct XElement {
        XString name; // as written, prefix included ("ome:Pixels")
        std::vector<XAttribute> attributes;
        std::vector<std::unique_ptr<XElement>> children;
        XString text; // character data directly inside, concatenated

        // The name without its namespace prefix.
        XString GetLocalName() const;
        // The attribute's value by local name; null when absent.
        const XString* FindAttribute(const XString& inLocalName) const;
        XString GetAttribute(const XString& inLocalName, const XString& inDefault = XString()) const;
        // First child with this local name; null when none.
        const XElement* FindChild(const XString& inLocalName) const;
        std::vector<const XElement*> FindChildren(const XString& inLocalName) const;
        // First element of this local name in the subtree (this element included), depth first.
        const XElement* FindDescendant(const XString& inLocalName) const;
    };

    // Limits that keep a hostile document from exhausting the stack or memory.
    static constexpr size_t kMaxDepth = 128;
    static constexpr size_t kMaxElements = 1000000;

    // Parses a whole document; XException kStreamCorrupt names the problem and its byte offset.
    static std::unique_ptr<XElement> Parse(const XString& inDocument);
};
