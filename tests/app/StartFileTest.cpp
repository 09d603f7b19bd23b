#include "app/StartFile.h"

#include <gtest/gtest.h>

using namespace zentrola;

TEST(StartFile, OnlyAParameterFileIsOpenedAtStart) {
    struct Case {
        const char* arg;
        bool file;
    };
    for (const Case& c : {
             Case{"settings.ign", true},
             Case{"C:\\Users\\rider\\Desktop\\KTM 2019.IGN", true}, // as the association passes it
             Case{"/home/rider/Záloha.Ign", true},
             Case{"DEUTSCH", false}, // the language word keeps its meaning
             Case{".ign", false},
             Case{"notes.txt", false},
             Case{"settings.ign.bak", false},
             Case{"--port.ign", false},
         })
        EXPECT_EQ(namesParameterFile(c.arg), c.file) << c.arg;
}
