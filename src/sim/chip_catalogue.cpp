#include "sim/chip_catalogue.h"

#include <cctype>

namespace merlinox::sim {
namespace {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

SpiFamily FamilyOf(const ChipFacts& f) {
    switch (f.code) {
    case 0x9001:
        return SpiFamily::kAt90s1200;
    case 0x9101:
    case 0x9201:
    case 0x9301:
        return SpiFamily::kAt90sNoFuse;
    case 0x9102:
    case 0x9103:
    case 0x9202:
    case 0x9303:
        return SpiFamily::kAt90sCombined;
    case 0x9105:
    case 0x9203:
        return SpiFamily::kAt90sFuse5;
    case 0x9004:
    case 0x9005:
    case 0x9006:
        return SpiFamily::kTinyOld;
    case 0x9601:
    case 0x9701:
        return SpiFamily::kMega103;
    case 0x9401:
        return SpiFamily::kMega161;
    case 0x9109:
        return SpiFamily::kTiny26;
    default:
        break;
    }
    return SpiFamily::kModern;
}

bool IsOldFamily(SpiFamily family) {
    switch (family) {
    case SpiFamily::kAt90s1200:
    case SpiFamily::kAt90sNoFuse:
    case SpiFamily::kAt90sCombined:
    case SpiFamily::kAt90sFuse5:
    case SpiFamily::kTinyOld:
        return true;
    default:
        return false;
    }
}

}  // namespace

std::span<const ChipFacts> ChipCatalogue() { return {kChipFactsTable, kChipFactsCount}; }

const ChipFacts* FindChipByCode(std::uint16_t code) {
    for (const ChipFacts& facts : ChipCatalogue()) {
        if (facts.code == code) return &facts;
    }
    return nullptr;
}

const ChipFacts* FindChipByName(std::string_view part) {
    for (const ChipFacts& facts : ChipCatalogue()) {
        if (SameName(facts.part, part)) return &facts;
    }
    return nullptr;
}

ChipTraits TraitsFor(const ChipFacts& f) {
    ChipTraits t;
    t.spiFamily = FamilyOf(f);
    t.oldHvProtocol = IsOldFamily(t.spiFamily);
    // The ATtiny11/12/15 load the high data byte into a latch of its own (SII 0x3C).
    t.singleDataLatch = t.oldHvProtocol && t.spiFamily != SpiFamily::kTinyOld;
    t.longPulseParallel = t.oldHvProtocol && f.hvpp;
    if (f.code == 0x9006) t.hvspClocksPerBit = 16;

    // Implemented fuse bits, the SPIEN bit (serial programming needs it programmed and
    // cannot change it) and EESAVE.
    switch (t.spiFamily) {
    case SpiFamily::kAt90s1200:
    case SpiFamily::kAt90sNoFuse:
    case SpiFamily::kAt90sCombined:
        t.fuseMask[0] = 0x21;  // RCEN or FSTRT in bit 0, SPIEN in bit 5
        t.oldFuseByte2Mask = 0x01;
        t.spien = {0, 0x20};
        break;
    case SpiFamily::kAt90sFuse5:
        t.fuseMask[0] = 0x3F;  // CKSEL0..2, BODEN, BODLEVEL, SPIEN
        t.oldFuseByte2Mask = 0x1F;
        t.spien = {0, 0x20};
        break;
    case SpiFamily::kTinyOld:
        t.fuseMask[0] = f.code == 0x9004 ? 0x1F : (f.code == 0x9006 ? 0xF3 : 0xFF);
        if (f.code != 0x9004) t.spien = {0, 0x20};
        break;
    case SpiFamily::kMega103:
        t.fuseMask[0] = 0x2B;  // SPIEN, EESAVE, SUT1, SUT0
        t.oldFuseByte2Mask = 0x0B;
        t.spien = {0, 0x20};
        t.eesave = {0, 0x08};
        break;
    case SpiFamily::kMega161:
        t.fuseMask[0] = 0x7F;
        t.spien = {0, 0x20};
        break;
    case SpiFamily::kTiny26:
        t.spien = {1, 0x08};
        t.eesave = {1, 0x04};
        break;
    case SpiFamily::kModern:
        if (f.code == 0x9007) {  // ATtiny13: SPIEN and EESAVE in the low byte, 5 high bits
            t.fuseMask[1] = 0x1F;
            t.spien = {0, 0x80};
            t.eesave = {0, 0x40};
        } else if (f.code == 0x9402) {  // ATmega163: SPIEN in the low byte, no EESAVE
            t.fuseMask[0] = 0xFF;
            t.fuseMask[1] = 0x0F;
            t.spien = {0, 0x20};
        } else if (f.code == 0x910A) {  // ATtiny2313: EESAVE is high fuse bit 6
            t.spien = {1, 0x20};
            t.eesave = {1, 0x40};
        } else {
            t.spien = {1, 0x20};
            t.eesave = {1, 0x08};
        }
        break;
    }
    if (f.code == 0x9103 && f.signature[2] == 0x06) t.fuseMask[0] = 0x21;  // ATtiny22: CKSEL, SPIEN

    // Data polling during byte-wise writes (avrdude.conf readback_p1/p2).
    switch (f.code) {
    case 0x9101:
    case 0x9201:
    case 0x9301:
        t.flashPoll[0] = t.flashPoll[1] = 0x7F;
        t.eepromPoll[0] = 0x80;
        t.eepromPoll[1] = 0x7F;
        break;
    case 0x9701:
    case 0x9601:
        t.eepromPoll[0] = 0x80;
        t.eepromPoll[1] = 0x7F;
        break;
    case 0x9001:
    case 0x9102:
    case 0x9103:
    case 0x9105:
    case 0x9202:
    case 0x9203:
    case 0x9303:
        t.eepromPoll[0] = 0x00;
        break;
    default:
        break;
    }
    return t;
}

ChipTiming TimingFor(const ChipFacts& f) {
    ChipTiming timing{};
    // The ATtiny11's sources give no write time; the ATtiny12's is taken. The
    // ATmega323 has no erase time in any source; its sibling ATmega163's is taken.
    timing.flashWriteUs = f.flashWriteUs != 0 ? f.flashWriteUs : 4500;
    timing.eepromWriteUs = f.eepromWriteUs != 0 ? f.eepromWriteUs : 9000;
    timing.chipEraseUs = f.chipEraseUs != 0 ? f.chipEraseUs : 32000;
    timing.fuseWriteUs = timing.flashWriteUs;
    return timing;
}

}  // namespace merlinox::sim
