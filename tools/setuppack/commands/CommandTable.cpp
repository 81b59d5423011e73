#include "Command.h"

namespace setuppack {

const std::vector<Command>& Commands()
{
    static const std::vector<Command> table = {
        {"build", "make an installer from the setup stub and files",
         "usage: setuppack build [--stub STUB] -o OUT [--title T] [--store | --solid]\n"
         "                       [--threads N] [--force] [--codepage N] [--product NAME]\n"
         "                       [--publisher NAME] [--version X.Y.Z[.W]] [--url URL]\n"
         "                       [--icon FILE.ico] [--language LIST] [--per-user]\n"
         "                       FILE...\n"
         "\n"
         "Writes OUT: the setup stub, up to 7 zero bytes that align the file for a\n"
         "signature, a 20-byte check record (the CRC-32 of the payload), the archive\n"
         "of the FILEs (with --solid, a 20-byte record and the archive compressed),\n"
         "then a 4-byte trailer holding the offset of the archive, after the check\n"
         "record. Each file is stored as c:\\ and its name in lower case, without\n"
         "its folder, and restored under that name, so no two files may share a\n"
         "name. Each 16384-byte chunk of a file becomes a block deflated at level 9,\n"
         "or a raw block where deflating does not make it smaller.\n"
         "\n"
         "First the FILEs are checked as the installer will use them, and OUT is not\n"
         "written when one is missing or would not be read as meant: Setup.ins (its\n"
         "fifteen lines as the installer reads them: CR LF line ends, numbers it\n"
         "takes, flags exactly \"True\" or \"False\"), the screensaver it names (with a\n"
         "four-character extension), Lmunist.exe, the read-me when it is shown, and\n"
         "the picture it selects (unless \"nil\"), decoded as the installer decodes it.\n"
         "Names match in any case. A name that the code page cannot spell is refused.\n"
         "A missing Install.exe, a gradient above 255, a screensaver not ending in\n"
         ".scr, a picture larger than a 1024 x 768 screen, texts and names that are\n"
         "no text in the code page, and 8-bit texts beyond ASCII, which systems of\n"
         "other code pages show otherwise, are warnings. With --codepage utf-8 the\n"
         "texts and names are UTF-8, the check record says so, and the installer\n"
         "shows them as written on every system.\n"
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
         "  --force       write OUT even so, with the problems shown as warnings;\n"
         "                not when the uninstaller's copy would replace a program\n"
         "                of the Windows folder (regedit.scr), nor when a text or\n"
         "                name holds a character Windows would show otherwise (a\n"
         "                control character, a direction override, U+FEFF)\n"
         "  --product NAME, --publisher NAME, --version X.Y.Z[.W], --url URL\n"
         "                the author's product, each on its own (without them the\n"
         "                uninstall entry names the toolmaker): build adds them\n"
         "                to the payload as Product.ins, and the installer writes\n"
         "                them into its uninstall entry as DisplayName, Publisher,\n"
         "                DisplayVersion (three or four numbers from 0 to 65535,\n"
         "                by which an upgrade is told), HelpLink and UrlinfoAbout\n"
         "                (a URL starting with http:// or https://)\n"
         "  --icon FILE.ico  the installer's icon: every image of the icon file,\n"
         "                each a whole PNG picture or bitmap, 4 MiB at most\n"
         "                With any of these five, OUT's own version information\n"
         "                (ProductName, CompanyName, FileDescription, versions,\n"
         "                LegalCopyright, OriginalFilename as OUT's name) and\n"
         "                icon are rewritten before the payload is appended, so\n"
         "                that a signature made afterwards covers them\n"
         "  --language LIST  the languages the installer speaks besides English,\n"
         "                by their tags, separated by commas (de,fr,ja), or all:\n"
         "                de German, fr French, es Spanish, it Italian, pt-BR\n"
         "                Brazilian Portuguese, nl Dutch, pl Polish, ru Russian,\n"
         "                ja Japanese, zh-CN Simplified Chinese. The installer\n"
         "                shows its pages, buttons, messages and /? list in the\n"
         "                user's language (the very one, else one of its primary\n"
         "                language), else in English; its /LOG stays English. The\n"
         "                texts are added to OUT's resources, as with --product\n"
         "  --per-user    install for the user who runs the installer, with that\n"
         "                user's rights only: OUT's manifest asks for asInvoker\n"
         "                instead of administrator rights, and Scope.ins in the\n"
         "                payload has the installer install into the folder of\n"
         "                the product (or of the screensaver's base name) in the\n"
         "                user's programs folder, %LOCALAPPDATA%\\Programs, with\n"
         "                its uninstall entry under HKEY_CURRENT_USER\n",
         {"--store", "--solid", "--force", "--per-user"},
         {"--stub", "-o", "--title", "--codepage", "--threads", "--product", "--publisher", "--version", "--url", "--icon",
          "--language"},
         RunBuild},
        {"extract", "restore the files of an installer into a folder",
         "usage: setuppack extract [--archive] [--codepage N] FILE DIR\n"
         "\n"
         "Restores every file of FILE's archive into the folder DIR (created when\n"
         "missing) with the installer's own restore: each file under its base name\n"
         "(as text of the installer's code page), replacing a file of that name,\n"
         "its stamp as its last-write time.\n"
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
         {"--archive"}, {"--codepage"}, RunExtract},
        {"list", "show the archive of an installer entry by entry",
         "usage: setuppack list [--archive] [--codepage N] FILE\n"
         "\n"
         "Shows the archive header (title, total size, file count) and each entry:\n"
         "its offset in FILE, stamp, size, blocks and stored name (as text of the\n"
         "installer's code page). Special entries (the file list, volume markers,\n"
         "passed-over name lengths) are shown as such.\n"
         "Blocks are counted by kind: raw (the file's bytes as they are), stored (a\n"
         "zlib stream that holds them uncompressed) and deflated (a zlib stream\n"
         "that compresses them).\n"
         "\n"
         "  --archive     FILE is a bare archive starting at offset 0, not an\n"
         "                installer with a payload trailer\n",
         {"--archive"}, {"--codepage"}, RunList},
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
         "installer reads them, one NAME=VALUE line each (of an installer built\n"
         "with the product's options, also Product, Publisher, Version and Url, and\n"
         "of one built with --per-user, Scope=user),\n"
         "then the problems that build would find (for an installer, in its whole\n"
         "payload). An installer's check record says whether its texts are UTF-8.\n"
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
         "Of an installer, the payload is then checked as build checks its FILEs,\n"
         "and the encoding of its texts and the product's values (build's --product\n"
         "and others) are shown, and that it installs for the current user only\n"
         "(build's --per-user), whose manifest must then ask for asInvoker.\n"
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
