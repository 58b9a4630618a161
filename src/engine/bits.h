// Bit fields on integers of every width and the frame counter IOCYCLECOUNT that lets objects
// advance at most once per frame. Bit numbers and field positions outside the width of the
// value are range-checked: reads give 0, writes change nothing.
#pragma once

#include <cstdint>

// Frame counter: 0 at start, raised by IO_SYNC once at the start of every mission-loop frame.
extern uint64_t IOCYCLECOUNT;
void IO_SYNC();

// Bit BIT (0-based) of VALUE: 0 or 1.
int32_t IO_BIT(uint64_t VALUE, int32_t BIT);

// Set, clear or toggle bit BIT of VALUE in place.
void IO_BIT_SET(uint8_t& VALUE, int32_t BIT);
void IO_BIT_SET(uint16_t& VALUE, int32_t BIT);
void IO_BIT_SET(uint32_t& VALUE, int32_t BIT);
void IO_BIT_SET(uint64_t& VALUE, int32_t BIT);
void IO_BIT_CLR(uint8_t& VALUE, int32_t BIT);
void IO_BIT_CLR(uint16_t& VALUE, int32_t BIT);
void IO_BIT_CLR(uint32_t& VALUE, int32_t BIT);
void IO_BIT_CLR(uint64_t& VALUE, int32_t BIT);
void IO_BIT_FLP(uint8_t& VALUE, int32_t BIT);
void IO_BIT_FLP(uint16_t& VALUE, int32_t BIT);
void IO_BIT_FLP(uint32_t& VALUE, int32_t BIT);
void IO_BIT_FLP(uint64_t& VALUE, int32_t BIT);

// The N-bit field of VALUE starting at bit POS: (VALUE >> POS) & (2^N - 1). N at or above the
// width takes every bit from POS up. The signed forms work on the two's complement bits (and
// let plain integer literals pick an overload).
uint8_t IO_BIT_GET(uint8_t VALUE, int32_t POS, int32_t N);
uint16_t IO_BIT_GET(uint16_t VALUE, int32_t POS, int32_t N);
uint32_t IO_BIT_GET(uint32_t VALUE, int32_t POS, int32_t N);
uint64_t IO_BIT_GET(uint64_t VALUE, int32_t POS, int32_t N);
int32_t IO_BIT_GET(int32_t VALUE, int32_t POS, int32_t N);
int64_t IO_BIT_GET(int64_t VALUE, int32_t POS, int32_t N);

// Clears the N-bit field at POS, then ORs in X << POS (X is not masked to N bits, so a wider X
// also sets bits above the field; bits shifted past the width are lost).
void IO_BIT_PUT(uint8_t& VALUE, int32_t POS, int32_t N, uint8_t X);
void IO_BIT_PUT(uint16_t& VALUE, int32_t POS, int32_t N, uint16_t X);
void IO_BIT_PUT(uint32_t& VALUE, int32_t POS, int32_t N, uint32_t X);
void IO_BIT_PUT(uint64_t& VALUE, int32_t POS, int32_t N, uint64_t X);
