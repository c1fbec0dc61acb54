#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv)
{
    // Tests that need another zone or locale set it themselves and restore it.
    std::setlocale(LC_ALL, "C.UTF-8");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
