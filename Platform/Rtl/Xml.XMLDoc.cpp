#include "Xml.XMLDoc.hpp"

#include <pugixml.hpp>

#include <algorithm>
#include <sstream>

namespace Vcl {

namespace {

constexpr unsigned kLoadFlags = pugi::parse_default | pugi::parse_declaration;

struct TDocState {
  std::unique_ptr<pugi::xml_document> Doc = std::make_unique<pugi::xml_document>();
  TXMLDocOptions Options;
};

class TXMLNode : public IXMLNode {
public:
  TXMLNode(std::shared_ptr<TDocState> State, pugi::xml_node Node) : FState(std::move(State)), FNode(Node) {}

  String NodeName() const override { return FNode.name(); }

  String Text() const override
  {
    String text;
    for (pugi::xml_node child : FNode.children())
      if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
        text += child.value();
    return text;
  }

  void SetText(const String& Value) override
  {
    while (pugi::xml_node child = FNode.first_child())
      FNode.remove_child(child);
    FNode.append_child(pugi::node_pcdata).set_value(Value.c_str());
  }

  IXMLNodePtr ChildNodes(const String& Name) override
  {
    pugi::xml_node child = FNode.child(Name.c_str());
    if (!child) {
      if (!FState->Options.Contains(doNodeAutoCreate))
        throw EXMLDocError(Format("Node \"%s\" not found", {Name}));
      child = FNode.append_child(Name.c_str());
    }
    return std::make_shared<TXMLNode>(FState, child);
  }

  bool HasChildNode(const String& Name) const override { return bool(FNode.child(Name.c_str())); }

  IXMLNodePtr AddChild(const String& Name) override
  {
    return std::make_shared<TXMLNode>(FState, FNode.append_child(Name.c_str()));
  }

private:
  std::shared_ptr<TDocState> FState;
  pugi::xml_node FNode;
};

bool IsUtf8(const String& Encoding)
{
  return Encoding == "UTF-8" || Encoding == "utf-8";
}

class TXMLDocument : public IXMLDocument {
public:
  explicit TXMLDocument(const String& Version) : FVersion(Version) {}

  String Version() const override { return FVersion; }
  void SetVersion(const String& Value) override { FVersion = Value; }
  String Encoding() const override { return FEncoding; }
  void SetEncoding(const String& Value) override
  {
    if (!IsUtf8(Value))
      throw EXMLDocError("Only UTF-8 documents can be written, not " + Value);
    FEncoding = Value;
  }
  TXMLDocOptions Options() const override { return FState->Options; }
  void SetOptions(TXMLDocOptions Value) override { FState->Options = Value; }

  void LoadFromStream(TStream& Stream) override
  {
    const TBytes bytes = Stream.ReadAll();
    Load(bytes.data(), bytes.size());
  }
  void LoadFromXML(const String& XML) override { Load(XML.data(), XML.size()); }

  void SaveToStream(TStream& Stream) override
  {
    const String text = XML();
    Stream.WriteBuffer(text.data(), Int64(text.size()));
  }

  String XML() override
  {
    pugi::xml_document out;
    pugi::xml_node decl = out.append_child(pugi::node_declaration);
    decl.append_attribute("version").set_value(FVersion.c_str());
    decl.append_attribute("encoding").set_value(FEncoding.c_str());
    for (pugi::xml_node child : FState->Doc->children())
      if (child.type() != pugi::node_declaration)
        out.append_copy(child);
    std::ostringstream text;
    const bool indent = FState->Options.Contains(doNodeAutoIndent);
    out.save(text, "  ", indent ? pugi::format_indent : pugi::format_raw, pugi::encoding_utf8);
    return text.str();
  }

  IXMLNodePtr DocumentElement() override
  {
    pugi::xml_node root = FState->Doc->document_element();
    return root ? std::make_shared<TXMLNode>(FState, root) : nullptr;
  }

  IXMLNodePtr AddChild(const String& Name) override
  {
    if (pugi::xml_node old = FState->Doc->document_element())
      FState->Doc->remove_child(old);
    return std::make_shared<TXMLNode>(FState, FState->Doc->append_child(Name.c_str()));
  }

private:
  void Load(const void* Data, std::size_t Size)
  {
    auto doc = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result = doc->load_buffer(Data, Size, kLoadFlags, pugi::encoding_auto);
    if (!result)
      throw EDOMParseError(String(result.description()) + " at offset " + std::to_string(result.offset));
    if (!doc->document_element())
      throw EDOMParseError("The document has no element");
    // The parser takes a fragment of several elements; a document has one, and
    // replacing "the" element of a fragment would bring an older one to the front.
    const auto elements = std::count_if(doc->begin(), doc->end(),
                                        [](const pugi::xml_node& n) { return n.type() == pugi::node_element; });
    if (elements > 1)
      throw EDOMParseError("Only one top level element is allowed in an XML document");
    // Nodes handed out earlier keep the old document alive and unchanged.
    auto state = std::make_shared<TDocState>();
    state->Doc = std::move(doc);
    state->Options = FState->Options;
    FState = std::move(state);
    if (pugi::xml_node first = FState->Doc->first_child(); first.type() == pugi::node_declaration)
      if (const char* version = first.attribute("version").value(); *version)
        FVersion = version;
  }

  String FVersion;
  String FEncoding = "UTF-8";
  std::shared_ptr<TDocState> FState = std::make_shared<TDocState>();
};

} // namespace

IXMLDocumentPtr NewXMLDocument(const String& Version)
{
  return std::make_shared<TXMLDocument>(Version);
}

} // namespace Vcl
