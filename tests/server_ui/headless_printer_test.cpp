#include "server/headless_printer.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace grainlink {
namespace {

TEST(HeadlessPrinter, WritesOneLinePerPanelChangeWithLineBreaksEscaped)
{
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    ASSERT_NE(out, nullptr);
    {
        CommsPanel panel;
        HeadlessPrinter printer(panel, out);
        panel.setText(CommsControl::lbl_rx_cnt, 1, "1");
        panel.setText(CommsControl::lbl_rx, 2, ";A1%2\r\n");
        panel.setText(CommsControl::lbl_rx_cnt, 1, "1");  // unchanged: no line
        panel.setText(CommsControl::lbl_msg, 4, "x");
        panel.setText(CommsControl::lbl_msg, 4, "");
    }
    std::fclose(out);
    EXPECT_STREQ(buffer,
                 "lbl_rx_cnt(1) = 1\n"
                 "lbl_rx(2) = ;A1%2\\r\\n\n"
                 "lbl_msg(4) = x\n"
                 "lbl_msg(4) = \n");
    std::free(buffer);
}

}  // namespace
}  // namespace grainlink
