// The progress picture as a JPEG for the progress mail.
#pragma once

#include <cstdint>
#include <string>

// A 128 x 128 picture on opaque white, as JPEG bytes at the best quality;
// empty when it cannot be made. Fits ProgressImageMaker (engine/mail).
std::string MakeProgressImage(std::int32_t number, std::int32_t index, std::int32_t count);
