#include "server/startup.h"

// PLACEHOLDER: replaced by the configuration work.
namespace grainlink {
void LoadConfiguration(SharedState&, const ConfigFile&, CommsPanel&, MessageBox&) {}
void ReadProductInfo(SharedState&, const ConfigFile&) {}
bool ReadMessageTime(SharedState&, const ConfigFile&) { return true; }
void RefreshCommsPanel(const SharedState&, CommsPanel&) {}
void LoadFlowFactors(const ConfigFile&, ItemTables&) {}
}  // namespace grainlink
