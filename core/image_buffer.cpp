#include "core/image_buffer.h"

ImageBuffer::~ImageBuffer() { FreeImageBuffer(this); }

void DeleteImageBuffer(ImageBuffer* record) {
  FreeImageBuffer(record);
  delete record;
}

void ReplaceImage(ImageBuffer* target, ImageBuffer* replacement) {
  FreeImageBuffer(target);
  target->bitsPerPixel = replacement->bitsPerPixel;
  target->width = replacement->width;
  target->height = replacement->height;
  target->pixels = replacement->pixels;
  target->stride = replacement->stride;
  target->memoryDC = replacement->memoryDC;
  target->bitmap = replacement->bitmap;
  target->info = replacement->info;
  target->dpiX = replacement->dpiX;
  target->dpiY = replacement->dpiY;
  target->kind = replacement->kind;
  replacement->kind = kImageEmpty;
}
