#pragma once

#include "tools/sim/instrument_model.h"

#include <QByteArray>

#include <cstdint>

namespace grainlink::sim {

// ISO cleanliness code of a count per mL in tenths: 10 x log2(count x 100), rounded, so that
// 20.48 particles/mL is code 11.0 and every doubling adds 1.0. No particles give 0.
int IsoTenths(double countsPerMl);

// How a 4-digit counts field carries its count, chosen by the ISO code sent with it.
enum class CountScale { Thousandths, Units, Thousands };
CountScale ScaleOfIso(int isoTenths);

// The two fields of one particle size.
struct SizeFields {
    int isoTenths = 0;
    uint16_t counts = 0;
};

// Encodes one size so that the ISO code is exactly that of the count the field carries (after
// the field's rounding), and the field's scale is the one that code selects on the receiving side.
SizeFields EncodeSize(double countsPerMl);

// The record as the instrument sends it: ";" then the tagged fields, each closed by ";", and
// CR LF. Field digits are lower-case, the firmware text's letters too: the receiver finds a field
// by searching for its upper-case tag anywhere in the record, so no field may spell a tag such as
// "C5".
QByteArray BuildRecord(const UnitIdentity& id, const Reading& reading);

}  // namespace grainlink::sim
