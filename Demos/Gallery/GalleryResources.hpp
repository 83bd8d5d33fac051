// Resources that ship with the gallery, embedded at build time.
#pragma once

#include <System.hpp>

namespace Gallery {

// The text form resource of the form-resource page.
const Vcl::String& FormResourcePageText();

} // namespace Gallery
