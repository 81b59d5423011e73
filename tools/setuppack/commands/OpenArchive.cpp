#include "OpenArchive.h"

namespace setuppack {

ArchiveOperand ArchiveOperandOf(const Arguments& args)
{
    if (args.operands.empty())
        throw UsageError("no file given");
    if (args.operands.size() > 1)
        throw UsageError("one file at a time, not " + std::to_string(args.operands.size()));
    return {args.operands.front(), args.Has("--archive")};
}

}  // namespace setuppack
