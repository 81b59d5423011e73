#include "SolidPayload.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "Bra.h"
#include "Lzma2Enc.h"
#include "archive/SolidStream.h"
#include "base/Error.h"

namespace setuppack {

namespace {

constexpr std::size_t kPiece = 1 << 20;
constexpr std::size_t kHeldBack = 8;

void* Allocate(ISzAllocPtr, size_t size) { return std::malloc(size); }
void Release(ISzAllocPtr, void* address) { std::free(address); }
const ISzAlloc kHeap = {Allocate, Release};

// The archive's bytes, branch-converted, as the encoder reads them. The
// converter holds back the last bytes of a piece until the next is there.
// The encoder's C code calls it, from the match finder's thread when that
// runs: nothing may be thrown through the C code, so a failure is kept and
// reported once the encoder has returned (the same for the output).
struct ConvertedInput {
    ISeqInStream vt;
    lumora::Stream* archive;
    std::uint64_t left;
    std::unique_ptr<Byte[]> buffer{new Byte[kPiece + kHeldBack]};
    std::size_t at = 0;
    std::size_t ready = 0;
    std::size_t held = 0;
    std::uint64_t base = 0;  // the archive's byte at buffer[0]
    UInt32 state = Z7_BRANCH_CONV_ST_X86_STATE_INIT_VAL;
    bool failed = false;

    static SRes Read(ISeqInStreamPtr p, void* out, size_t* size)
    {
        auto* self = reinterpret_cast<ConvertedInput*>(const_cast<ISeqInStream*>(p));
        try {
            if (self->at == self->ready && !self->Refill())
                return self->failed ? SZ_ERROR_READ : (*size = 0, SZ_OK);
        } catch (...) {
            self->failed = true;
            return SZ_ERROR_READ;
        }
        *size = std::min(*size, self->ready - self->at);
        std::memcpy(out, self->buffer.get() + self->at, *size);
        self->at += *size;
        return SZ_OK;
    }

    bool Refill()
    {
        if (held == 0 && left == 0)
            return false;
        std::memmove(buffer.get(), buffer.get() + ready, held);
        base += ready;
        at = ready = 0;
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kPiece));
        const std::size_t got = want > 0 ? archive->Read(buffer.get() + held, want) : 0;
        if (got != want) {
            failed = true;
            return false;
        }
        left -= got;
        const std::size_t total = held + got;
        const Byte* end = z7_BranchConvSt_X86_Enc(buffer.get(), total, static_cast<UInt32>(base), &state);
        // At the end the rest stays as it is, as the decoder expects.
        ready = left == 0 ? total : static_cast<std::size_t>(end - buffer.get());
        held = total - ready;
        return ready > 0 || Refill();
    }
};

struct Output {
    ISeqOutStream vt;
    lumora::Stream* out;
    bool failed = false;

    static size_t Write(ISeqOutStreamPtr p, const void* data, size_t size)
    {
        auto* self = reinterpret_cast<Output*>(const_cast<ISeqOutStream*>(p));
        try {
            const std::size_t written = self->out->Write(data, size);
            self->failed = self->failed || written != size;
            return written;
        } catch (...) {
            self->failed = true;
            return 0;
        }
    }
};

struct Encoder {
    CLzma2EncHandle handle = Lzma2Enc_Create(&kHeap, &kHeap);
    ~Encoder()
    {
        if (handle)
            Lzma2Enc_Destroy(handle);
    }
};

}  // namespace

unsigned DefaultSolidThreads()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxSolidThreads);
}

void WriteSolidPayload(lumora::Stream& archive, std::uint64_t size, unsigned threads, lumora::Stream& out)
{
    const Encoder encoder;
    if (!encoder.handle)
        throw lumora::Error("no memory for the LZMA2 encoder");
    CLzma2EncProps props;
    Lzma2EncProps_Init(&props);
    props.lzmaProps.level = 5;
    props.lzmaProps.mc = kSolidMatchCycles;
    props.lzmaProps.dictSize = static_cast<UInt32>(std::max<std::uint64_t>(
        std::min<std::uint64_t>(size, kSolidDictionary), 4096));
    // One stream, whose encoder is one thread; its match finder runs in
    // threads of its own (2) or not (1).
    props.lzmaProps.numThreads = threads > 1 ? 2 : 1;
    props.blockSize = LZMA2_ENC_PROPS_BLOCK_SIZE_SOLID;
    props.numBlockThreads_Max = 1;
    props.numTotalThreads = props.lzmaProps.numThreads;
    if (Lzma2Enc_SetProps(encoder.handle, &props) != SZ_OK)
        throw lumora::Error("the LZMA2 encoder refuses its settings");
    Lzma2Enc_SetDataSize(encoder.handle, size);

    lumora::archive::SolidRecord record;
    record.filters = lumora::archive::kSolidX86Filter;
    record.dictionaryProperty = Lzma2Enc_WriteProperties(encoder.handle);
    record.size = size;
    lumora::archive::WriteSolidRecord(out, record);

    ConvertedInput input;
    input.vt.Read = ConvertedInput::Read;
    input.archive = &archive;
    input.left = size;
    Output output;
    output.vt.Write = Output::Write;
    output.out = &out;
    const SRes result =
        Lzma2Enc_Encode2(encoder.handle, &output.vt, nullptr, nullptr, &input.vt, nullptr, 0, nullptr);
    if (input.failed)
        throw lumora::Error("the archive could not be read back for compressing");
    if (output.failed)
        throw lumora::Error("the compressed payload could not be written");
    if (result != SZ_OK)
        throw lumora::Error("the LZMA2 encoder failed (error " + std::to_string(result) + ")");
}

}  // namespace setuppack
