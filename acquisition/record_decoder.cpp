#include "acquisition/record_decoder.h"

namespace grainlink {

RecordDecoder::RecordDecoder(const SharedState& state, ItemTables& items, LogDataFn logData)
    : m_state(state), m_items(items), m_logData(std::move(logData))
{
}

void RecordDecoder::DecodeRecord(int /*unit*/)
{
    // PLACEHOLDER: replaced by the decoding work.
}

}  // namespace grainlink
