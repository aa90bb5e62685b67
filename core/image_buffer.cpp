#include "core/image_buffer.h"

ImageBuffer::~ImageBuffer() { FreeImageBuffer(this); }

void DeleteImageBuffer(ImageBuffer* record) {
  FreeImageBuffer(record);
  delete record;
}
