#pragma once

#include <cstdint>
#include <string>

// A decoded texture: sizeX * sizeY pixels of R, G, B bytes, rows bottom first
// (the file's order, which is also the order OpenGL uploads expect).
struct Image {
    std::uint32_t sizeX;
    std::uint32_t sizeY;
    unsigned char* data;  // malloc'ed, sizeX * sizeY * 3 bytes
};

// The Image of the most recent LoadTexture; every loaded Image is kept.
extern Image* TextureImage;

// Reads an uncompressed 24-bit BMP whose width is a multiple of 4 (so its rows
// carry no padding) with bottom-up rows, taking the pixels from byte 54.
// Returns 1 with image filled, or 0 after printing why the file was refused;
// image->data then owns nothing. Never reads past what the file holds.
int ImageLoad(const char* filename, Image* image);

// Loads the BMP into texture object texID, which stays bound to GL_TEXTURE_2D.
// Any failure ends the process with status 1.
void LoadTexture(const std::string& image_file, int texID);
