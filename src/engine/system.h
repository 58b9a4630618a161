// Frame-end bookkeeping and the 2D overlay: the smoothed frame factor FPSR, the
// frames-per-second count, the 10 ms pacing sleep, the live-tuning keys, entering and leaving
// the pixel-aligned overlay, and the run controls every loop passes through at its buffer
// swap (frame numbers, the frame limit, screenshots and the per-frame hook).
//
// State kept besides the records: the run controls (the current frame number, the frame
// limit and the frame-end hook). system_reset_frames puts the frame number back to 1; main
// calls it, sets the limit and the hook when a run starts.
#pragma once

#include <cstdint>
#include <string>

// Frame-end bookkeeping after every buffer swap: frame factor, frame counter, 10 ms sleep
// (none on the fixed-step clock), then the run controls (hook, frame limit, next frame).
void SYSTEM_UPD_FPSR();

// Steps 1-3 of the bookkeeping for a frame ending at `now_ms`: SYSTEM_TICKS, FPSR, FP, FPS
// and SYSTEM_NEXTTICKS. SYSTEM_UPD_FPSR calls it with the clock's time.
void system_frame_tick(int32_t now_ms);

// Enter and leave the 2D overlay: pixel coordinates, origin at the top-left corner, y down.
void SYSTEM_2DPLANE_SET_FULL();
void SYSTEM_2DPLANE_CLEAR();

// Live tuning: S/F move TEMPX, E/D move TEMPY, W/R move TEMPZ by 0.1 x FPSR per frame, then
// the values are shown on the first console row (only when standard output is a terminal).
void SYSTEM_PROCESS_ADJUSTMENT_INPUTS();

// The console text of the live-tuning values: three numbers in 14-column print zones.
std::string system_tuning_line(float x, float y, float z);

// Swaps the window's buffers; a screenshot due for the current frame is taken first.
void system_swap_buffers();

// Run controls. Frames are numbered from 1 (the first frame drawn); the number moves on at
// the end of SYSTEM_UPD_FPSR.
int64_t system_frame_number();
void system_reset_frames();
// After frame `last` (0 = no limit) ends, the loops are asked to leave (platform quit request).
void system_set_frame_limit(int64_t last);
// Called at the end of every frame's bookkeeping with that frame's number (the trace writer).
void system_set_frame_end_hook(void (*hook)(int64_t frame));
