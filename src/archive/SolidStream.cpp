#include "archive/SolidStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "Bra.h"
#include "Lzma2Dec.h"
#include "archive/LittleEndian.h"

namespace lumora::archive {

namespace {

// Compressed input and decompressed output are handled in pieces of this
// size; the output keeps a few bytes more that the branch converter holds
// back until the bytes after them are known.
constexpr std::size_t kPiece = 64 * 1024;
constexpr std::size_t kHeldBack = 8;

void* Allocate(ISzAllocPtr, size_t size) { return std::malloc(size); }
void Release(ISzAllocPtr, void* address) { std::free(address); }
const ISzAlloc kHeap = {Allocate, Release};

}  // namespace

std::uint64_t SolidRecord::Dictionary() const
{
    const unsigned p = dictionaryProperty;
    return p >= 40 ? 0xFFFFFFFFull : static_cast<std::uint64_t>(2 | (p & 1)) << (p / 2 + 11);
}

std::optional<SolidRecord> ReadSolidRecord(Stream& in)
{
    unsigned char bytes[kSolidRecordSize];
    if (in.Read(bytes, sizeof bytes) != sizeof bytes ||
        std::memcmp(bytes, kSolidRecordMagic, sizeof kSolidRecordMagic) != 0)
        return std::nullopt;
    SolidRecord record;
    record.filters = bytes[8];
    record.dictionaryProperty = bytes[9];
    record.size = LoadLittleEndian(bytes + 12, 8);
    return record;
}

struct SolidStream::Decoder {
    Decoder(Stream& from, std::int64_t size, const SolidRecord& solid) : in(from), inLeft(size), record(solid) {}
    ~Decoder()
    {
        if (allocated)
            Lzma2Dec_Free(&lzma, &kHeap);
    }

    Stream& in;
    std::int64_t inLeft;  // compressed bytes not read yet
    const SolidRecord record;
    CLzma2Dec lzma{};
    bool allocated = false;
    std::unique_ptr<unsigned char[]> input{new unsigned char[kPiece]};
    std::size_t inAt = 0;
    std::size_t inSize = 0;
    // Decompressed bytes: [0, ready) handed out from `at` on, then `held`
    // more that the branch converter has not taken yet. output[0] is the
    // archive's byte `base`.
    std::unique_ptr<unsigned char[]> output{new unsigned char[kPiece + kHeldBack]};
    std::size_t at = 0;
    std::size_t ready = 0;
    std::size_t held = 0;
    std::uint64_t base = 0;
    std::uint32_t branchState = Z7_BRANCH_CONV_ST_X86_STATE_INIT_VAL;
    // No more output: the end mark was decoded, the input ran out, or the
    // decoder met damage (then `damage` says what, for the next Fill).
    bool finished = false;
    bool inputEnded = false;
    const char* damage = nullptr;
    std::uint64_t position = 0;  // the stream's, in the archive
};

SolidStream::SolidStream(Stream& compressed, std::int64_t compressedSize, const SolidRecord& record)
    : decoder_(std::make_unique<Decoder>(compressed, compressedSize, record))
{
    if (record.Dictionary() > kMaxSolidDictionary)
        throw CompressionError("a dictionary of " + std::to_string(record.Dictionary()) +
                               " bytes is more than a reader takes");
    Lzma2Dec_CONSTRUCT(&decoder_->lzma);
    if (Lzma2Dec_Allocate(&decoder_->lzma, record.dictionaryProperty, &kHeap) != SZ_OK)
        throw CompressionError("no memory for the dictionary");
    decoder_->allocated = true;
    Lzma2Dec_Init(&decoder_->lzma);
}

SolidStream::~SolidStream() = default;

bool SolidStream::Fill()
{
    Decoder& d = *decoder_;
    if (d.damage)
        throw CompressionError(d.damage);
    if (d.finished)
        return false;
    // What the converter held back comes first.
    std::memmove(d.output.get(), d.output.get() + d.ready, d.held);
    d.base += d.ready;
    d.at = d.ready = 0;
    SizeT made = 0;
    while (made == 0 && !d.finished) {
        if (d.inAt == d.inSize) {
            const auto want = static_cast<std::size_t>(std::min<std::int64_t>(d.inLeft, kPiece));
            d.inSize = want > 0 ? d.in.Read(d.input.get(), want) : 0;
            d.inAt = 0;
            if (d.inSize == 0) {
                // Cut short: what was decoded is handed out, and the archive
                // then ends early, as a plain one cut short does.
                d.finished = d.inputEnded = true;
                break;
            }
            d.inLeft -= static_cast<std::int64_t>(d.inSize);
        }
        SizeT space = kPiece + kHeldBack - d.held;
        SizeT taken = d.inSize - d.inAt;
        ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
        const SRes result = Lzma2Dec_DecodeToBuf(&d.lzma, d.output.get() + d.held, &space, d.input.get() + d.inAt,
                                                 &taken, LZMA_FINISH_ANY, &status);
        made = space;
        d.inAt += taken;
        if (result != SZ_OK) {
            // What was decoded before the damage is handed out first, so
            // that the files before it are restored.
            d.finished = true;
            d.damage = "the compressed payload is damaged";
            break;
        }
        d.finished = status == LZMA_STATUS_FINISHED_WITH_MARK;
    }
    const std::size_t total = d.held + made;
    if (d.record.filters & kSolidX86Filter) {
        // The converter takes what it can; at the end the rest stays as the
        // encoder left it.
        const Byte* end = z7_BranchConvSt_X86_Dec(d.output.get(), total, static_cast<UInt32>(d.base), &d.branchState);
        d.ready = d.finished ? total : static_cast<std::size_t>(end - d.output.get());
    } else {
        d.ready = total;
    }
    d.held = total - d.ready;
    if (d.finished && !d.damage && !d.inputEnded && d.base + d.ready != d.record.size) {
        d.damage = "the payload decompresses to another size than its record gives";
        // More than the record gives would never be read, and so never
        // noticed.
        if (d.base + d.ready > d.record.size)
            throw CompressionError(d.damage);
    }
    if (d.ready == 0 && d.damage)
        throw CompressionError(d.damage);
    return d.ready > 0;
}

bool SolidStream::InputEnded() const { return decoder_->inputEnded; }

std::size_t SolidStream::Read(void* buffer, std::size_t count)
{
    Decoder& d = *decoder_;
    if (d.position < d.base + d.at)
        throw Error("Stream seek error: a solid payload is read forward only");
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count && d.position < d.record.size) {
        if (d.at == d.ready) {
            if (!Fill())
                break;
            continue;
        }
        // Passed over by a seek: decompressed and dropped.
        const std::uint64_t here = d.base + d.at;
        if (d.position > here) {
            d.at += static_cast<std::size_t>(std::min<std::uint64_t>(d.position - here, d.ready - d.at));
            continue;
        }
        // The archive ends at the record's size for every reader: decoded
        // bytes beyond it are never handed out, whatever size a read asks
        // for, so a read in large pieces sees no more than one in fields.
        const auto n = static_cast<std::size_t>(
            std::min<std::uint64_t>({count - done, d.ready - d.at, d.record.size - d.position}));
        std::memcpy(out + done, d.output.get() + d.at, n);
        d.at += n;
        d.position += n;
        done += n;
    }
    return done;
}

std::int64_t SolidStream::Seek(std::int64_t offset, Origin origin)
{
    Decoder& d = *decoder_;
    const std::int64_t from = origin == Origin::Begin     ? 0
                              : origin == Origin::Current ? static_cast<std::int64_t>(d.position)
                                                          : static_cast<std::int64_t>(d.record.size);
    if (offset < -from)
        return -1;
    d.position = static_cast<std::uint64_t>(from + offset);
    return static_cast<std::int64_t>(d.position);
}

}  // namespace lumora::archive
