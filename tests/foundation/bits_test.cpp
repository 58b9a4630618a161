// Bit fields on every width and the frame counter carry.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/bits.h"

TEST(IoBit, SingleBitsOnEveryWidth) {
    EXPECT_EQ(IO_BIT(0x8000000000000001ull, 0), 1);
    EXPECT_EQ(IO_BIT(0x8000000000000001ull, 63), 1);
    EXPECT_EQ(IO_BIT(0x8000000000000001ull, 1), 0);
    EXPECT_EQ(IO_BIT(~0ull, 64), 0);   // out of range reads 0
    EXPECT_EQ(IO_BIT(~0ull, -1), 0);

    uint8_t b = 0;
    IO_BIT_SET(b, 7);
    EXPECT_EQ(b, 0x80);
    IO_BIT_SET(b, 8);  // beyond the width: nothing changes
    EXPECT_EQ(b, 0x80);
    IO_BIT_FLP(b, 0);
    EXPECT_EQ(b, 0x81);
    IO_BIT_FLP(b, 7);
    EXPECT_EQ(b, 0x01);
    IO_BIT_CLR(b, 0);
    EXPECT_EQ(b, 0x00);

    uint16_t h = 0xFFFF;
    IO_BIT_CLR(h, 15);
    EXPECT_EQ(h, 0x7FFF);
    IO_BIT_CLR(h, 16);
    EXPECT_EQ(h, 0x7FFF);

    uint32_t w = 0;
    IO_BIT_SET(w, 31);
    IO_BIT_SET(w, 1);
    EXPECT_EQ(w, 0x80000002u);
    IO_BIT_FLP(w, 31);
    EXPECT_EQ(w, 2u);
    IO_BIT_SET(w, -5);
    EXPECT_EQ(w, 2u);

    uint64_t q = 0;
    IO_BIT_SET(q, 63);
    IO_BIT_SET(q, 32);
    EXPECT_EQ(q, 0x8000000100000000ull);
    IO_BIT_CLR(q, 63);
    EXPECT_EQ(q, 0x0000000100000000ull);
}

TEST(IoBit, FieldsGetAndPut) {
    EXPECT_EQ(IO_BIT_GET(0xF0, 4, 2), 3);
    EXPECT_EQ(IO_BIT_GET(uint8_t{0xF0}, 4, 2), 3);
    EXPECT_EQ(IO_BIT_GET(uint16_t{0xABCD}, 4, 8), 0xBC);
    EXPECT_EQ(IO_BIT_GET(uint32_t{0xDEADBEEF}, 28, 4), 0xDu);
    EXPECT_EQ(IO_BIT_GET(uint64_t{0xDEADBEEF00000000ull}, 32, 64), 0xDEADBEEFull);
    EXPECT_EQ(IO_BIT_GET(uint64_t{0xFFull}, 64, 4), 0u);  // position past the width
    EXPECT_EQ(IO_BIT_GET(uint32_t{0xFF}, 0, 0), 0u);
    EXPECT_EQ(IO_BIT_GET(int32_t{-1}, 28, 8), 0xF);         // two's complement bits

    uint32_t v = 0xFFFFFFFFu;
    IO_BIT_PUT(v, 8, 4, 0x5u);
    EXPECT_EQ(v, 0xFFFFF5FFu);
    uint16_t s = 0;
    IO_BIT_PUT(s, 4, 2, uint16_t{0xF});  // X wider than N also sets bits above the field
    EXPECT_EQ(s, 0xF0);
    uint8_t b = 0xFF;
    IO_BIT_PUT(b, 6, 2, uint8_t{0});
    EXPECT_EQ(b, 0x3F);
    IO_BIT_PUT(b, 6, 4, uint8_t{0xF});  // bits shifted past the width are lost
    EXPECT_EQ(b, 0xFF);
    uint64_t q = 0;
    IO_BIT_PUT(q, 60, 4, uint64_t{0xA});
    EXPECT_EQ(q, 0xA000000000000000ull);
    IO_BIT_PUT(q, 0, 64, uint64_t{7});
    EXPECT_EQ(q, 7u);
    IO_BIT_PUT(q, 70, 4, uint64_t{1});  // out of range: unchanged
    EXPECT_EQ(q, 7u);
}

TEST(IoSync, CountsFramesAndCarriesIntoTheHighWord) {
    uint64_t saved = IOCYCLECOUNT;
    IOCYCLECOUNT = 41;
    IO_SYNC();
    EXPECT_EQ(IOCYCLECOUNT, 42u);
    IOCYCLECOUNT = 4294967295ull;
    IO_SYNC();
    EXPECT_EQ(IOCYCLECOUNT, 4294967296ull);
    IO_SYNC();
    EXPECT_EQ(IOCYCLECOUNT, 4294967297ull);
    IOCYCLECOUNT = saved;
}
