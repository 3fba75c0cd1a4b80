// The recovery journal's reader: a header, then records replayed onto a small canvas.
// Random bytes almost never pass a record's checksum, so in a fuzz build the mutator
// knows the framing: it takes the input apart into its header and records, changes one
// (its bytes, its type or its place among the others) and frames the result again with
// valid lengths and checksums, so that the runs reach the replay itself.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/JournalFormat.h"
#include "engine/Picture.h"
#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vellum;
    JournalHeader header;
    size_t at = 0;
    if (!DecodeJournalHeader(data, size, header, at)) {
        at = 0;  // the records alone, as after a header
        header = JournalHeader{};
    }
    Picture picture;
    if (!picture.Create(FastPixelOps(), 64, 48)) return 0;
    ReplayJournal(FastPixelOps(), picture, data + at, size - at, header.path);
    return 0;
}

#if defined(VELLUM_FUZZ_BUILD)
extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

struct Parsed {
    bool hasHeader = false;
    vellum::JournalHeader header;
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> records;  // type, payload
};

// The input's header and records, as far as whole records go (the journal's own framing).
Parsed Parse(const uint8_t* data, size_t size) {
    Parsed p;
    size_t at = 0;
    p.hasHeader = vellum::DecodeJournalHeader(data, size, p.header, at);
    if (!p.hasHeader) at = 0;
    vellum::RecordFrame frame;
    while (at < size && vellum::ReadFrame(data + at, size - at, frame) == vellum::FrameStatus::Whole) {
        p.records.push_back({frame.type, std::vector<uint8_t>(frame.payload, frame.payload + frame.length)});
        at += frame.size;
    }
    return p;
}

std::vector<uint8_t> Frame(const Parsed& p) {
    std::vector<uint8_t> out;
    if (p.hasHeader) out = vellum::EncodeJournalHeader(p.header);
    for (const auto& [type, payload] : p.records) {
        const std::vector<uint8_t> r = vellum::FrameRecord(vellum::JournalRecord(type), payload);
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
    std::mt19937 rng(seed);
    Parsed p = Parse(data, size);
    if (p.records.empty()) return LLVMFuzzerMutate(data, size, maxSize);
    const size_t i = rng() % p.records.size();
    switch (rng() % 6) {
        case 0:
        case 1: {  // the bytes of one record's payload
            std::vector<uint8_t>& payload = p.records[i].second;
            const size_t used = payload.size();
            payload.resize(used * 2 + 64);
            payload.resize(LLVMFuzzerMutate(payload.data(), used, payload.size()));
            break;
        }
        case 2: p.records[i].first = uint8_t(1 + rng() % 8); break;  // another type
        case 3: p.records.insert(p.records.begin() + long(rng() % p.records.size()), p.records[i]); break;
        case 4: if (p.records.size() > 1) p.records.erase(p.records.begin() + long(i)); break;
        default: std::swap(p.records[i], p.records[rng() % p.records.size()]); break;
    }
    const std::vector<uint8_t> out = Frame(p);
    if (out.size() > maxSize) return LLVMFuzzerMutate(data, size, maxSize);
    std::memcpy(data, out.data(), out.size());
    return out.size();
}
#endif
