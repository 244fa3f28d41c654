// Test entry point: GDI+ must run for the whole test program, as it does for the exe.
#include <gtest/gtest.h>

#include "platform/win32/gdiplus_session.h"

int main(int argc, char** argv) {
  zv::win32::GdiplusSession gdiplus;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
