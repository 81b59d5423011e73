#include "Command.h"

namespace setuppack {

const std::vector<Command>& Commands()
{
    static const std::vector<Command> table = {
        {"build", "make an installer from the setup stub and files",
         "usage: setuppack build [--stub STUB] -o OUT [--title T] [--store | --solid]\n"
         "                       [--threads N] [--force] [--codepage N]\n"
         "                       FILE...\n"
         "\n"
         "Writes OUT: the setup stub, then an archive of the FILEs, then a 4-byte\n"
         "trailer holding the archive's offset (the stub's size). Each file is stored\n"
         "under its full path in lower case and restored under its base name, so no\n"
         "two files may share a base name. Each 16384-byte chunk of a file becomes a\n"
         "block deflated at level 9, or a raw block where deflating does not make it\n"
         "smaller.\n"
         "\n"
         "First the FILEs are checked as the installer will use them, and OUT is not\n"
         "written when one is missing or would not be read as meant: Setup.ins (its\n"
         "fifteen lines as the installer reads them: CR LF line ends, numbers it\n"
         "takes, flags exactly \"True\" or \"False\"), the screensaver it names (with a\n"
         "four-character extension), Lmunist.exe, the read-me when it is shown, and\n"
         "the picture it selects (unless \"nil\"), decoded as the installer decodes it.\n"
         "Names match in any case. A name that the code page cannot spell is refused.\n"
         "A missing Install.exe, a gradient above 255, a screensaver not ending in\n"
         ".scr, a picture larger than a 1024 x 768 screen, and texts and names that\n"
         "are no text in the code page are warnings.\n"
         "\n"
         "  --stub STUB   the setup stub; default: setupstub.exe in the folder of\n"
         "                this program\n"
         "  -o OUT        the installer to write (replaced if it exists)\n"
         "  --title T     the archive's title (default \"Setup\"), which no reader\n"
         "                shows: the installer's title is TitleText of Setup.ins\n"
         "  --store       store the blocks as the shipped installers store them:\n"
         "                full chunks raw, the last chunk of a file in an\n"
         "                uncompressed zlib stream\n"
         "  --solid       compress the archive as a whole (every block raw) into one\n"
         "                LZMA2 stream with a 16 MiB dictionary and the x86 branch\n"
         "                converter: smaller where files share content; the\n"
         "                installer needs the dictionary's memory to restore it\n"
         "  --threads N   compress --solid with at most N threads (default: all the\n"
         "                cores); from 2 on, the match finder runs beside the\n"
         "                encoder, which uses two at most; the bytes are the same\n"
         "                for any N\n"
         "  --force       write OUT even so, with the problems shown as warnings\n",
         {"--store", "--solid", "--force"}, {"--stub", "-o", "--title", "--codepage", "--threads"}, RunBuild},
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
        {"settings", "write a Setup.ins, or show one as the installer reads it",
         "usage: setuppack settings [--from FILE] [--set NAME=VALUE]... [--codepage N] -o OUT\n"
         "       setuppack settings [--codepage N] FILE\n"
         "\n"
         "With -o, writes OUT: the fifteen lines of a Setup.ins, each ended by CR LF,\n"
         "from defaults (a blue gradient, no picture, the wizard opening on its folder\n"
         "page) or from FILE, with the named fields set. The fields, in file order:\n"
         "  UseFileNameTitle, TitleText, ScreenSaverFile, FooterText, ShowReadMe,\n"
         "  ReadMeFile, RandomPlay, UseCustomImage, CustomImageFile, ImageFile,\n"
         "  SolidBackground (flags \"True\" or \"False\"; texts), GradientRed,\n"
         "  GradientGreen, GradientBlue, SolidColor (numbers: decimal, or hexadecimal\n"
         "  after $ or 0x; SolidColor is 0x00BBGGRR).\n"
         "A value that the installer would read otherwise than written is refused,\n"
         "and OUT is not written.\n"
         "\n"
         "Without -o, shows the fields of FILE, a Setup.ins or an installer, as the\n"
         "installer reads them, one NAME=VALUE line each, then the problems that\n"
         "build would find (for an installer, in its whole payload).\n"
         "\n"
         "  --from FILE       start from FILE (a Setup.ins or an installer)\n"
         "  --set NAME=VALUE  set one field; may be given many times; VALUE is UTF-8\n"
         "                    text, written in the code page (a character it has no\n"
         "                    place for is refused)\n"
         "  -o OUT            the Setup.ins to write (replaced if it exists)\n"
         "Values are shown as UTF-8 text, decoded with the code page.\n",
         {}, {"--from", "-o", "--codepage"}, RunSettings, {"--set"}},
        {"verify", "check that an installer's archive is sound",
         "usage: setuppack verify [--archive] [--codepage N] FILE\n"
         "\n"
         "Exits with 0 only when: the trailer points into the file; the archive can\n"
         "be walked to its end-of-archive marker; every compressed block inflates\n"
         "completely, with a matching Adler-32, to at most 16384 bytes; the end\n"
         "marker lies right before the trailer (the end of FILE with --archive);\n"
         "and the header's total size equals the sum of the files' sizes.\n"
         "Each problem is reported with its entry, block and offset.\n"
         "Of an installer, the payload is then checked as build checks its FILEs.\n"
         "\n"
         "  --archive     FILE is a bare archive starting at offset 0\n",
         {"--archive"}, {"--codepage"}, RunVerify},
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
