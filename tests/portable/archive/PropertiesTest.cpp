#include <gtest/gtest.h>

#include "RestoreFixture.h"

namespace lumora::archive::test {
namespace {

TEST(BackupProperties, FreshValuesAndTheWriterSettingRules)
{
    TBackupFile backup;
    EXPECT_EQ(backup.Version(), "5.00");
    EXPECT_EQ(backup.BackupTitle(), "");
    EXPECT_EQ(backup.BackupMode(), bmAll);
    EXPECT_EQ(backup.CompressionLevel(), clFastest);
    EXPECT_EQ(static_cast<int>(clFastest), 0);
    EXPECT_EQ(static_cast<int>(clNone), 1);
    EXPECT_EQ(backup.RestoreMode(), rmAll);
    EXPECT_EQ(backup.MaxSize(), 0);
    EXPECT_FALSE(backup.SetArchiveFlag());
    EXPECT_FALSE(backup.RestoreFullPath());
    EXPECT_FALSE(backup.SaveFileID());
    EXPECT_FALSE(backup.OnProgress || backup.OnNeedDisk || backup.OnRestoreFile || backup.OnFileRestored ||
                 backup.OnError);
    EXPECT_EQ(backup.SourceStream(), nullptr);

    backup.SetVersion("6.10");
    EXPECT_EQ(backup.Version(), "5.00");

    // Switching to incremental also sets the archive flag ...
    backup.SetBackupMode(bmIncremental);
    EXPECT_TRUE(backup.SetArchiveFlag());
    // ... but assigning the mode it already has changes nothing.
    backup.SetSetArchiveFlag(false);
    backup.SetBackupMode(bmIncremental);
    EXPECT_FALSE(backup.SetArchiveFlag());
    backup.SetBackupMode(bmAll);
    EXPECT_FALSE(backup.SetArchiveFlag());
    EXPECT_EQ(backup.BackupMode(), bmAll);
}

TEST(BackupProperties, ErrorMessages)
{
    const char* expected[] = {"",
                              "Cannot read file",
                              "Overwriting file failed",
                              "Cannot read archive",
                              "Cannot write to archive",
                              "Invalid archive type",
                              "Compression error",
                              "Cannot create temporary file to save the file IDs",
                              ""};
    for (int code = 0; code <= 8; ++code)
        EXPECT_EQ(TBackupFile::ErrorMessage(code), expected[code]) << code;
    EXPECT_EQ(TBackupFile::ErrorMessage(-1), "");
}

TEST_F(RestoreFixture, NoStreamOrNoArchiveFileEndsAtOnceWithoutEvents)
{
    EXPECT_FALSE(backup.RestoreFromStream(nullptr, scratch.Folder()));
    EXPECT_FALSE(backup.Restore(scratch / "missing.arc", scratch.Folder()));
    EXPECT_TRUE(events.progress.empty());
    EXPECT_TRUE(events.errors.empty());
    EXPECT_TRUE(ui.errorBoxes.empty());
}

}  // namespace
}  // namespace lumora::archive::test
