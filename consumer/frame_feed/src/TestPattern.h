#pragma once

// Draws the stand-in camera's picture for frame number frame into rgb
// (width * height * 3 bytes, row by row): colour bars that scroll with the
// frame number, a square that bounces across them, and the frame number in
// large digits at the top left, so that a viewer sees every new frame.
void renderTestPattern(unsigned frame, unsigned width, unsigned height, unsigned char* rgb);
