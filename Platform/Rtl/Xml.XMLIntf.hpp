// The XML document object model: documents and element nodes behind
// reference-counted interfaces, as the framework hands them out.
#pragma once

#include "System.Streams.hpp"

#include <memory>

namespace Vcl {

QX_EXCEPTION(EXMLDocError, Exception);
// A document that is not well-formed XML; the message gives the reason and
// the offset.
QX_EXCEPTION(EDOMParseError, EXMLDocError);

enum class TXMLDocOption { doNodeAutoCreate, doNodeAutoIndent };
using enum TXMLDocOption;
using TXMLDocOptions = TSet<TXMLDocOption>;

class IXMLNode;
using IXMLNodePtr = std::shared_ptr<IXMLNode>;

class IXMLNode {
public:
  virtual ~IXMLNode() = default;
  virtual String NodeName() const = 0;
  // The element's text: its text and CDATA children, joined.
  virtual String Text() const = 0;
  // Replaces the element's children by one text node.
  virtual void SetText(const String& Value) = 0;
  // The first child element of that name. When there is none it is added
  // under doNodeAutoCreate; otherwise EXMLDocError 'Node "<name>" not found'.
  virtual IXMLNodePtr ChildNodes(const String& Name) = 0;
  virtual bool HasChildNode(const String& Name) const = 0;
  // A new child element, after the others.
  virtual IXMLNodePtr AddChild(const String& Name) = 0;
};

class IXMLDocument {
public:
  virtual ~IXMLDocument() = default;
  // The declaration's version and encoding; only "UTF-8" is written
  // (EXMLDocError for another encoding).
  virtual String Version() const = 0;
  virtual void SetVersion(const String& Value) = 0;
  virtual String Encoding() const = 0;
  virtual void SetEncoding(const String& Value) = 0;
  virtual TXMLDocOptions Options() const = 0;
  virtual void SetOptions(TXMLDocOptions Value) = 0;

  // Replaces the document by the one read (encoding found from the byte
  // order mark or the declaration). EDOMParseError leaves the earlier
  // document as it was.
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void LoadFromXML(const String& XML) = 0;
  // The declaration, then the document; nested elements indented under
  // doNodeAutoIndent.
  virtual void SaveToStream(TStream& Stream) = 0;
  virtual String XML() = 0;

  // nullptr when the document is empty.
  virtual IXMLNodePtr DocumentElement() = 0;
  // A new document element, replacing any earlier one.
  virtual IXMLNodePtr AddChild(const String& Name) = 0;
};

using IXMLDocumentPtr = std::shared_ptr<IXMLDocument>;

} // namespace Vcl
