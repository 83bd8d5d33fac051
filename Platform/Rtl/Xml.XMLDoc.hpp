// Creating XML documents (on pugixml).
#pragma once

#include "Xml.XMLIntf.hpp"

namespace Vcl {

// An empty document with that declaration version, encoding "UTF-8" and no
// options.
IXMLDocumentPtr NewXMLDocument(const String& Version = "1.0");

} // namespace Vcl
