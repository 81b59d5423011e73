#include "Command.h"

namespace setuppack {

const std::vector<Command>& Commands()
{
    static const std::vector<Command> table = {
        {"build", "make an installer from the setup stub and files",
         "usage: setuppack build [--stub STUB] -o OUT [--title T] [--store] FILE...\n"
         "\n"
         "Writes OUT: the setup stub, then an archive of the FILEs, then a 4-byte\n"
         "trailer holding the archive's offset (the stub's size). Each file is stored\n"
         "under its full path in lower case and restored under its base name, so no\n"
         "two files may share a base name. Each 16384-byte chunk of a file becomes a\n"
         "block deflated at level 9, or a raw block where deflating does not make it\n"
         "smaller.\n"
         "\n"
         "  --stub STUB   the setup stub; default: setupstub.exe in the folder of\n"
         "                this program\n"
         "  -o OUT        the installer to write (replaced if it exists)\n"
         "  --title T     the archive's title (default \"Setup\")\n"
         "  --store       store the blocks as the shipped installers store them:\n"
         "                full chunks raw, the last chunk of a file in an\n"
         "                uncompressed zlib stream\n",
         {"--store"}, {"--stub", "-o", "--title"}, RunBuild},
        {"extract", "restore the files of an installer into a folder",
         "usage: setuppack extract [--archive] FILE DIR\n"
         "\n"
         "Restores every file of FILE's archive into the folder DIR (created when\n"
         "missing) with the installer's own restore: each file under its base name,\n"
         "replacing a file of that name, its stamp as its last-write time.\n"
         "On a terminal, stderr shows the progress on one line. At the end, stdout\n"
         "lists each restored file (size, then name) and a summary line. Errors go\n"
         "to stderr; the files written before an error stay.\n"
         "\n"
         "  --archive     FILE is a bare archive; one split over volumes continues\n"
         "                in the files named like FILE with the extension .002,\n"
         "                .003, ..., and a missing volume cancels the restore\n"
         "\n"
         "Exits with 0 when every file was restored, 1 when the restore failed or\n"
         "was cancelled, 2 for a usage error.\n",
         {"--archive"}, {}, RunExtract},
        {"list", "show the archive of an installer entry by entry",
         "usage: setuppack list [--archive] FILE\n"
         "\n"
         "Shows the archive header (title, total size, file count) and each entry:\n"
         "its offset in FILE, stamp, size, blocks and stored name. Special entries\n"
         "(the file list, volume markers, passed-over name lengths) are shown as such.\n"
         "Blocks are counted by kind: raw (the file's bytes as they are), stored (a\n"
         "zlib stream that holds them uncompressed) and deflated (a zlib stream\n"
         "that compresses them).\n"
         "\n"
         "  --archive     FILE is a bare archive starting at offset 0, not an\n"
         "                installer with a payload trailer\n",
         {"--archive"}, {}, RunList},
        {"verify", "check that an installer's archive is sound",
         "usage: setuppack verify [--archive] FILE\n"
         "\n"
         "Exits with 0 only when: the trailer points into the file; the archive can\n"
         "be walked to its end-of-archive marker; every compressed block inflates\n"
         "completely, with a matching Adler-32, to at most 16384 bytes; the end\n"
         "marker lies right before the trailer (the end of FILE with --archive);\n"
         "and the header's total size equals the sum of the files' sizes.\n"
         "Each problem is reported with its entry, block and offset.\n"
         "\n"
         "  --archive     FILE is a bare archive starting at offset 0\n",
         {"--archive"}, {}, RunVerify},
    };
    return table;
}

const Command* FindCommand(const std::string& name)
{
    for (const Command& command : Commands())
        if (name == command.name)
            return &command;
    return nullptr;
}

}  // namespace setuppack
