#include "server/dde_publisher.h"

// PLACEHOLDER: replaced by the DDE work.
namespace grainlink {
DdePublisher::DdePublisher(ItemTables&, DdeSource&) {}
}  // namespace grainlink
