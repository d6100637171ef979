// tools/korvite/picture_out.cpp -- pixel forms and the PPM of a picture.
#include "tools/korvite/picture_out.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

// l_loadpic's own rule: the text after the last ".", the whole name without one.
static bool jpeg_name(const char* name) {
    const char* dot = strrchr(name, '.');
    return strcasecmp(dot ? dot + 1 : name, "jpg") == 0;
}

bool form_of(const char* name, int32_t result, pixel_form* form) {
    if (result == 1) {
        *form = pixel_form::grey;
    } else if (result == 2) {
        *form = jpeg_name(name) ? pixel_form::rgb565 : pixel_form::indexed;
    } else if (result == 3 && jpeg_name(name)) {
        *form = pixel_form::xrgb8888;
    } else {
        return false;
    }
    return true;
}

int32_t bytes_per_pixel(pixel_form form) {
    switch (form) {
    case pixel_form::grey:
    case pixel_form::indexed:
        return 1;
    case pixel_form::rgb565:
        return 2;
    case pixel_form::xrgb8888:
        return 4;
    }
    return 1;
}

// Red, green and blue of pixel i.
static void colour_of(const uint8_t* pixels, size_t i, pixel_form form, const uint8_t* palette,
                      uint8_t* rgb) {
    switch (form) {
    case pixel_form::grey:
        rgb[0] = rgb[1] = rgb[2] = pixels[i];
        break;
    case pixel_form::indexed:
        memcpy(rgb, palette + 3 * pixels[i], 3);
        break;
    case pixel_form::rgb565: {
        uint32_t v = pixels[2 * i] | pixels[2 * i + 1] << 8;
        uint32_t r = v >> 11, g = (v >> 5) & 63, b = v & 31;
        rgb[0] = static_cast<uint8_t>(r << 3 | r >> 2);
        rgb[1] = static_cast<uint8_t>(g << 2 | g >> 4);
        rgb[2] = static_cast<uint8_t>(b << 3 | b >> 2);
        break;
    }
    case pixel_form::xrgb8888:
        rgb[0] = pixels[4 * i + 2];
        rgb[1] = pixels[4 * i + 1];
        rgb[2] = pixels[4 * i];
        break;
    }
}

std::vector<uint8_t> ppm_image(const uint8_t* pixels, int32_t width, int32_t height,
                               pixel_form form, const uint8_t* palette) {
    char header[64];
    int length = snprintf(header, sizeof header, "P6\n%d %d\n255\n", width, height);
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint8_t> out(header, header + length);
    out.resize(out.size() + 3 * count);
    uint8_t* rgb = out.data() + length;
    for (size_t i = 0; i < count; ++i, rgb += 3) colour_of(pixels, i, form, palette, rgb);
    return out;
}
