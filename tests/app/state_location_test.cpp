// Where the saved state file lives: beside a program run from a build or a
// copied folder, in the user's configuration folder for an installed one.

#include "app/saved_state.h"

#include <gtest/gtest.h>

namespace {

TEST(StateFileLocation, CopiedOrBuiltProgramKeepsItsFileBesideIt) {
    for (const char* folder :
         {"/home/ana/tallivos/build/demo", "/work/main/build/default/app", "/tmp/x", "/usr-local-copy/bin",
          "/home/ana/opt/bin", "D:/tools/scale", "C:\\Users\\ana\\Desktop\\scale"}) {
        EXPECT_TRUE(stateFileBesideExecutable(QString::fromLatin1(folder), true)) << folder;
    }
}

TEST(StateFileLocation, InstalledProgramUsesTheConfigurationFolder) {
    for (const char* folder : {"/usr/bin", "/usr/local/bin", "/usr", "/bin", "/sbin", "/opt/tallivos/bin",
                               "/snap/tallivos/12/bin", "/usr/./bin/", "/home/../usr/bin",
                               "C:\\Program Files\\Tallivos", "c:/program files (x86)/Tallivos"}) {
        EXPECT_FALSE(stateFileBesideExecutable(QString::fromLatin1(folder), true)) << folder;
    }
}

TEST(StateFileLocation, FolderThatCannotBeWrittenIsNeverUsed) {
    EXPECT_FALSE(stateFileBesideExecutable(QStringLiteral("/home/ana/build"), false));
    EXPECT_FALSE(stateFileBesideExecutable(QStringLiteral("/usr/bin"), false));
}

} // namespace
