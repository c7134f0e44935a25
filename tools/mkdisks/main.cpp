// mkdisks: builds the distribution disks (and the download) from a layout
// file, writes a download's manifest, and lists or tests archives.
#include "disks.h"
#include "inspect.h"
#include "layout.h"
#include "manifest.h"

#include "platform/exception.h"

#include <cstring>
#include <iostream>

namespace {

int usage()
{
    std::cerr << "usage:\n"
                 "  mkdisks LAYOUT OUTPUT-FOLDER [--installer FILE] [--licence FILE] [--quiet]\n"
                 "      writes OUTPUT-FOLDER/DISK01, DISK02, ... from the layout, and with its\n"
                 "      [download] section the one-file download and its manifest/ beside them\n"
                 "  mkdisks manifest LAYOUT DOWNLOAD MANIFEST-FOLDER\n"
                 "      writes the three files of the download's manifest into MANIFEST-FOLDER again\n"
                 "      (after signing, which changes its hash)\n"
                 "  mkdisks list VOLUME    members, sizes, methods and destinations\n"
                 "  mkdisks test VOLUME    decodes every member and checks every checksum\n"
                 "The layout format is described in tools/mkdisks/README.md.\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "list") == 0)
        return listArchive(argv[2], std::cout);
    if (argc == 3 && std::strcmp(argv[1], "test") == 0)
        return testArchive(argv[2], std::cout);
    const bool manifest = argc >= 2 && std::strcmp(argv[1], "manifest") == 0;
    if (manifest ? argc != 5 : argc < 3 || argv[1][0] == '-')
        return usage();

    BuildOptions options;
    for (int i = 3; !manifest && i < argc; ++i) {
        if (std::strcmp(argv[i], "--installer") == 0 && i + 1 < argc)
            options.installer = argv[++i];
        else if (std::strcmp(argv[i], "--licence") == 0 && i + 1 < argc)
            options.licence = argv[++i];
        else if (std::strcmp(argv[i], "--quiet") == 0)
            options.quiet = true;
        else
            return usage();
    }
    try {
        if (manifest) {
            writeManifest(readLayout(argv[2]), argv[3], argv[4]);
            return 0;
        }
        Layout layout = readLayout(argv[1]);
        int disks = buildDisks(layout, argv[2], options);
        if (!options.quiet)
            std::cout << disks << " disk" << (disks == 1 ? "" : "s") << " written to " << argv[2] << "\n";
        return 0;
    } catch (const LayoutError& e) {
        std::cerr << "mkdisks: " << e.what() << "\n";
    } catch (const CException& e) {
        std::cerr << "mkdisks: " << describeError(e) << "\n";
    } catch (const std::exception& e) {
        std::cerr << "mkdisks: " << e.what() << "\n";
    }
    return 1;
}
