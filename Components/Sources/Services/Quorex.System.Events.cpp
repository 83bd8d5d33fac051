#include "Quorex.System.Events.hpp"

namespace Quorex {

void RaiseWeakReferenceTarget()
{
  throw Vcl::Exception("TWeakReference can only be used with objects derived from TWeakReferencedObject");
}

} // namespace Quorex
