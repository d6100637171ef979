// tools/korvite/main.cpp -- korvite, the disk builder and inspector: the
// command table and the dispatch on its first argument.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/korvite/tool.h"

static const command commands[] = {
    {"pack", "[--store] [--onto EXE] OUT FILE...",
     "write an archive of the FILEs to OUT; with --onto, OUT is EXE with it appended",
     pack_command},
    {"list", "FILE", "show the entries of the archive at the end of FILE", list_command},
    {"cat", "FILE NAME", "write entry NAME to stdout, loaded as the player loads it", cat_command},
    {"decode", "FILE [--type N] [--raw OUT] [--palette OUT] [--ppm OUT] [--from DISK]",
     "load picture FILE as the player does, print WIDTH HEIGHT RESULT, write what is asked for",
     decode_command},
};

static void print_usage(FILE* to) {
    fputs("usage:\n", to);
    for (const command& c : commands)
        fprintf(to, "  korvite %s %s\n      %s\n", c.name, c.usage, c.summary);
    fputs("  korvite --help\n      show this text\n", to);
    fputs("\npack compresses each entry with LZSS unless --store is given or it would not\n"
          "get smaller; entries are named by the FILEs' base names (12 characters at most,\n"
          "or 13 for an entry that is then stored as is).\n"
          "\ndecode asks the reader for type N: 0 its default, 1 grey levels, 2 palette\n"
          "indices, 3 16-bit 5-6-5, 4 32-bit (3 and 4 for JPEG only). --raw writes the\n"
          "pixels as the reader left them, --palette the 768 bytes of the palette, --ppm a\n"
          "viewable image; --from DISK loads FILE from the archive at the end of DISK.\n",
          to);
}

void usage_error(const char* name) {
    for (const command& c : commands)
        if (strcmp(c.name, name) == 0) fprintf(stderr, "usage: korvite %s %s\n", c.name, c.usage);
    exit(1);
}

int main(int argc, char** argv) {
    if (argc < 2) {
        print_usage(stderr);
        return 1;
    }
    if (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0) {
        print_usage(stdout);
        return 0;
    }
    for (const command& c : commands) {
        if (strcmp(argv[1], c.name) != 0) continue;
        if (argc > 2 && strcmp(argv[2], "--help") == 0) {
            printf("usage: korvite %s %s\n    %s\n", c.name, c.usage, c.summary);
            return 0;
        }
        return c.run(argc - 2, argv + 2);
    }
    fprintf(stderr, "korvite: unknown command %s\n", argv[1]);
    print_usage(stderr);
    return 1;
}
