// The SVG surface: what each drawing call writes, exactly.
#include <gtest/gtest.h>

#include "platform/SvgSurface.h"

namespace ostra {
namespace {

TEST(SvgSurface, EachCallWritesItsElement) {
    SvgSurface svg(100, 50);
    svg.SetPen(PenStyle::Dot, 0, Rgb(255, 0, 0));
    svg.DrawLine({1, 2}, {30, 2});
    svg.SetPen(PenStyle::Solid, 2, Rgb(0, 0, 255));
    svg.DrawRect(CRect(5, 6, 15, 26));
    svg.FillRect(CRect(0, 0, 4, 3), Rgb(0, 128, 0));
    svg.SetFont({"Arial", 12, 700});
    svg.DrawText({7, 8}, "a<b & \"c\">\x01", TextAlign::Right);
    svg.SetFont({"Arial", 0, 400});
    svg.DrawText({9, 9}, "mid", TextAlign::Center);
    svg.DrawText({9, 9}, "", TextAlign::Left);  // nothing at all
    svg.DrawImage(image::kJunctionDot, {}, CRect(10, 10, 14, 14));
    svg.DrawImage(image::kPinAnalogIn, {}, CRect(0, 20, 10, 30));
    svg.DrawImage(image::kPinInvertIn, {}, CRect(0, 30, 10, 40));  // the bubble at the block
    svg.DrawImage(155, {}, CRect(0, 0, 0, 10));  // empty: nothing
    svg.DrawImage(155, {}, CRect(0, 0, 10, 0));
    svg.DrawImage(156, {}, CRect(0, 0, 32, 34));  // XOR: its body and "=1" in the middle
    const std::string out = svg.Finish();
    const std::string body =
        "<line x1=\"1\" y1=\"2\" x2=\"30\" y2=\"2\" stroke=\"#FF0000\" stroke-width=\"1\" "
        "stroke-dasharray=\"1,2\"/>\n"
        "<rect x=\"5\" y=\"6\" width=\"9\" height=\"19\" fill=\"none\" stroke=\"#0000FF\" "
        "stroke-width=\"2\"/>\n"
        "<rect x=\"0\" y=\"0\" width=\"4\" height=\"3\" fill=\"#008000\"/>\n"
        "<text x=\"7\" y=\"8\" font-family=\"Arial, Helvetica, sans-serif\" font-size=\"12\" "
        "text-anchor=\"end\" font-weight=\"bold\">a&lt;b &amp; &quot;c&quot;&gt;</text>\n"
        "<text x=\"9\" y=\"9\" font-family=\"Arial, Helvetica, sans-serif\" font-size=\"1\" "
        "text-anchor=\"middle\">mid</text>\n"
        "<circle cx=\"12\" cy=\"12\" r=\"2\" fill=\"#000000\"/>\n"
        "<line x1=\"0\" y1=\"25\" x2=\"10\" y2=\"25\" stroke=\"#000000\" stroke-width=\"1.11\"/>\n"
        "<polygon points=\"10,25 5.8,22 5.8,28\" fill=\"#000000\"/>\n"
        "<line x1=\"0\" y1=\"35\" x2=\"5\" y2=\"35\" stroke=\"#000000\" stroke-width=\"1.11\"/>\n"
        "<circle cx=\"7.5\" cy=\"35\" r=\"2.5\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1.11\"/>\n"
        "<rect x=\"2.56\" y=\"1.36\" width=\"26.88\" height=\"31.28\" fill=\"#FAFAFF\" "
        "stroke=\"#0000A0\" stroke-width=\"2\"/>\n"
        "<text x=\"16\" y=\"20.75\" font-family=\"Arial, Helvetica, sans-serif\" "
        "font-weight=\"bold\" font-size=\"12.51\" text-anchor=\"middle\" "
        "fill=\"#0000A0\">=1</text>\n";
    EXPECT_EQ(out,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
              "width=\"100\" height=\"50\" viewBox=\"0 0 100 50\">\n<rect width=\"100%\" "
              "height=\"100%\" fill=\"#FFFFFF\"/>\n" +
                  body + "</svg>\n");
    svg.SetFont({"Arial", 10, 400});
    const CSize size = svg.TextExtent("ab\xC3\xA9");  // three characters
    EXPECT_TRUE(size.cx == 17 && size.cy == 12);
}

}  // namespace
}  // namespace ostra
