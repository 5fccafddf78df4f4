#pragma once

#include <cstdint>
#include <string>

// A decoded texture: sizeX * sizeY pixels of R, G, B bytes in packed rows
// (no padding), bottom row first, the order OpenGL uploads expect.
struct Image {
    std::uint32_t sizeX;
    std::uint32_t sizeY;  // the number of rows, also for a file stored top-down
    unsigned char* data;  // malloc'ed, sizeX * sizeY * 3 bytes
};

// Fixed OpenGL texture object names of the preview's textures.
const int PLANE_TEX_NAME = 0;
const int CUBE_TEX_NAME = 1;
const int BRICK_TEX_NAME = 2;
const int TYRA_TEX_ID = 66;

// The Image of the most recent LoadTexture; every loaded Image is kept.
extern Image* TextureImage;

// Reads an uncompressed 24-bit BMP with one plane: rows padded to 4 bytes,
// bottom-up or top-down (a negative height). With the 108- or 124-byte info
// header of image editors (also the 52-, 56- and 64-byte ones) the pixels
// start where the file header says; otherwise at byte 54, after the classic
// 40-byte header. Returns 1 with image filled, or 0 after printing why the
// file was refused, naming it; image->data then owns nothing. Never reads
// past what the file holds.
int ImageLoad(const char* filename, Image* image);

// Loads the BMP into texture object texID, which stays bound to GL_TEXTURE_2D.
// Throws ProgramExit (status 1) with ImageLoad's refusal when it fails.
void LoadTexture(const std::string& image_file, int texID);
