#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lumivane/controls/ImButton.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Graphic.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

struct Expect {
    int x, y;
    TColor c;
};

// A headless window system with a white 300 x 200 container at screen (100, 100) holding one
// 75 x 25 image button at (20, 30).
class ImButtonTest : public ::testing::Test {
protected:
    static constexpr TColor kGuard = 0x123456;  // what a paint must cover or leave alone
    static constexpr TColor kOlive = 0x008080;  // strip background, transparent by its corner

    void SetUp() override {
        root = new TWinControl(nullptr);
        root->SetColor(clWhite);
        root->SetBounds(100, 100, 300, 200);
        root->HandleNeeded();
        btn = new TImButton(root);
        btn->SetParent(root);
        btn->SetBounds(20, 30, 75, 25);
        btn->SetCaption("Close");
        btn->HandleNeeded();
        session.Pump();
    }
    void TearDown() override { delete root; }

    static TColor Rgb(TColor c) { return ColorToRGB(c); }

    // A bitmap of the given size filled with kGuard.
    static std::unique_ptr<TBitmap> Paper(int w, int h) {
        auto bmp = std::make_unique<TBitmap>();
        bmp->SetSize(w, h);
        bmp->Canvas()->Brush()->SetColor(kGuard);
        bmp->Canvas()->FillRect({0, 0, w, h});
        return bmp;
    }
    static TColor At(const TBitmap& b, int x, int y) { return PixelToColor(b.Pixels().Get(x, y)); }

    // One draw request, as the window system makes it, onto fresh paper.
    std::unique_ptr<TBitmap> Face(UINT itemState = 0, TRect rc = {0, 0, 75, 25}) {
        auto bmp = Paper(rc.Right, rc.Bottom);
        DrawOn(*bmp, itemState, rc);
        return bmp;
    }
    void DrawOn(TBitmap& bmp, UINT itemState = 0, TRect rc = {0, 0, 75, 25}) {
        DRAWITEMSTRUCT dis;
        dis.itemState = itemState;
        dis.hDC = bmp.Canvas()->Handle();
        dis.rcItem = rc;
        btn->DrawItem(dis);
    }

    // A strip of square frames of side s on olive; frame k carries a solid block of colours[k]
    // over (4, 4)..(s - 5, s - 5).
    static std::unique_ptr<TBitmap> Strip(int s, std::initializer_list<TColor> colours, bool stacked = false) {
        auto bmp = std::make_unique<TBitmap>();
        const int n = static_cast<int>(colours.size());
        bmp->SetSize(stacked ? s : s * n, stacked ? s * n : s);
        bmp->Canvas()->Brush()->SetColor(kOlive);
        bmp->Canvas()->FillRect({0, 0, bmp->Width(), bmp->Height()});
        int k = 0;
        for (TColor c : colours) {
            const int x = stacked ? 0 : k * s, y = stacked ? k * s : 0;
            bmp->Canvas()->Brush()->SetColor(c);
            bmp->Canvas()->FillRect({x + 4, y + 4, x + s - 4, y + s - 4});
            ++k;
        }
        return bmp;
    }
    void SetPicture(TGraphic* g) {
        TPicture p;
        p.Assign(g);
        btn->fSetNomPicture(&p);
    }
    void SetAnimation(TGraphic* g) {
        TPicture p;
        p.Assign(g);
        btn->fSetHotPicutre(&p);
    }

    // Width of text in the button's font.
    int TextWidthOf(const std::string& s) {
        TCanvas c;
        c.Font()->Assign(btn->Font());
        return c.TextWidth(s);
    }

    // Left edge of the picture on the 75-pixel "Close" button: picture and caption centred together.
    int PictureLeft(int fw, int spacing) {
        const int tw = std::min(std::min(TextWidthOf("Close"), 75 - 10), 75 - fw - 10 - spacing);
        return 37 - (fw + tw + spacing) / 2;
    }

    // Presented pixel of the button's window, button coordinates.
    TColor Shown(int x, int y) { return session.Pixel(root->Handle(), 20 + x, 30 + y); }
    HWND Btn() { return btn->Handle(); }

    HeadlessSession session;
    TWinControl* root = nullptr;
    TImButton* btn = nullptr;
};
