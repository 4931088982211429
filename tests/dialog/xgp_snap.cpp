// xgp_snap OUT.png [WINDOW-ID]: writes the screen of $DISPLAY, or one window
// of it, as an RGB PNG.  Exit status 0 on success, 1 with a message otherwise.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

int fail(const char *what)
{
    std::fprintf(stderr, "xgp_snap: %s\n", what);
    return 1;
}

int channel(unsigned long pixel, unsigned long mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    unsigned long max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
}

bool write_png(const char *path, XImage *img)
{
    std::unique_ptr<FILE, int (*)(FILE *)> f(std::fopen(path, "wb"), std::fclose);
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f.get());
    png_set_IHDR(png, info, img->width, img->height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    std::vector<png_byte> row(3 * img->width);
    for (int y = 0; y < img->height; ++y) {
        for (int x = 0; x < img->width; ++x) {
            unsigned long p = XGetPixel(img, x, y);
            row[3 * x] = static_cast<png_byte>(channel(p, img->red_mask));
            row[3 * x + 1] = static_cast<png_byte>(channel(p, img->green_mask));
            row[3 * x + 2] = static_cast<png_byte>(channel(p, img->blue_mask));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3)
        return fail("usage: xgp_snap OUT.png [WINDOW-ID]");
    Display *d = XOpenDisplay(nullptr);
    if (!d)
        return fail("cannot open the display");
    Window w = argc == 3 ? std::strtoul(argv[2], nullptr, 0) : DefaultRootWindow(d);
    XWindowAttributes attr;
    if (!XGetWindowAttributes(d, w, &attr))
        return fail("no such window");
    XImage *img = XGetImage(d, w, 0, 0, attr.width, attr.height, AllPlanes, ZPixmap);
    if (!img)
        return fail("cannot read the window");
    bool ok = write_png(argv[1], img);
    XDestroyImage(img);
    XCloseDisplay(d);
    return ok ? 0 : fail("cannot write the PNG file");
}
