// Bit fields on integers of every width and the frame counter.
#include "engine/bits.h"

uint64_t IOCYCLECOUNT = 0;

void IO_SYNC() { ++IOCYCLECOUNT; }

namespace {

// All widths share one 64-bit implementation; Width is the bit count of the caller's type.
template <int Width>
uint64_t bit_mask(int32_t bit) {
    return (bit >= 0 && bit < Width) ? (uint64_t{1} << bit) : 0;
}

template <int Width>
uint64_t field_get(uint64_t value, int32_t pos, int32_t n) {
    if (pos < 0 || pos >= Width || n <= 0) return 0;
    uint64_t shifted = value >> pos;
    if (n >= 64) return shifted;
    return shifted & ((uint64_t{1} << n) - 1);
}

template <int Width>
uint64_t field_put(uint64_t value, int32_t pos, int32_t n, uint64_t x) {
    if (pos < 0 || pos >= Width || n < 0) return value;
    uint64_t field = n >= 64 ? ~uint64_t{0} : ((uint64_t{1} << n) - 1);
    return (value & ~(field << pos)) | (x << pos);
}

}  // namespace

int32_t IO_BIT(uint64_t VALUE, int32_t BIT) { return (VALUE & bit_mask<64>(BIT)) ? 1 : 0; }

#define KV_BIT_WIDTH(T, W)                                                                        \
    void IO_BIT_SET(T& VALUE, int32_t BIT) { VALUE = static_cast<T>(VALUE | bit_mask<W>(BIT)); }  \
    void IO_BIT_CLR(T& VALUE, int32_t BIT) { VALUE = static_cast<T>(VALUE & ~bit_mask<W>(BIT)); } \
    void IO_BIT_FLP(T& VALUE, int32_t BIT) { VALUE = static_cast<T>(VALUE ^ bit_mask<W>(BIT)); }  \
    T IO_BIT_GET(T VALUE, int32_t POS, int32_t N) { return static_cast<T>(field_get<W>(VALUE, POS, N)); } \
    void IO_BIT_PUT(T& VALUE, int32_t POS, int32_t N, T X) {                                      \
        VALUE = static_cast<T>(field_put<W>(VALUE, POS, N, X));                                   \
    }

KV_BIT_WIDTH(uint8_t, 8)
KV_BIT_WIDTH(uint16_t, 16)
KV_BIT_WIDTH(uint32_t, 32)
KV_BIT_WIDTH(uint64_t, 64)
#undef KV_BIT_WIDTH

int32_t IO_BIT_GET(int32_t VALUE, int32_t POS, int32_t N) {
    return static_cast<int32_t>(field_get<32>(static_cast<uint32_t>(VALUE), POS, N));
}

int64_t IO_BIT_GET(int64_t VALUE, int32_t POS, int32_t N) {
    return static_cast<int64_t>(field_get<64>(static_cast<uint64_t>(VALUE), POS, N));
}
