// The notice window built with FLTK 1.3, the peer our program is measured beside: the same
// texture, texts, fonts and places, and the same closing keys (Enter presses the default button).
//   notice_fltk TEXTURE.bmp
#include <FL/Fl.H>
#include <FL/Fl_BMP_Image.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Tiled_Image.H>
#include <FL/fl_draw.H>

constexpr const char* kTitle = "Renamed to Lumivane";
constexpr const char* kName = "Lumivane";
constexpr const char* kLink1 = "Download Now";
constexpr const char* kLink2 = "draventa.example";
constexpr const char* kBody =
    "    Draventa, have made numerous improvements to Quillomat. With all these improvements "
    "and new features, we decided we needed a new name! Quillomat is now known as Lumivane "
    "1.0. Lumivane has all of the features you have come to know and love of our Quillomat, "
    "plus many more. You will also be happy to know, that even will all the improvments and "
    "changes, we have not raised the price for Lumivane.";

// FLTK has no hyperlink widget: a box that draws its text underlined, top-left aligned.
class Link : public Fl_Box {
public:
    Link(int x, int y, int w, int h, const char *l) : Fl_Box(x, y, w, h, l) {
        labelcolor(FL_BLUE);
        labelsize(13);
    }
    void draw() override {
        fl_font(labelfont(), labelsize());
        fl_color(labelcolor());
        int base = y() + fl_height() - fl_descent();
        fl_draw(label(), x(), base);
        fl_line(x(), base + 2, x() + int(fl_width(label())), base + 2);
    }
    int handle(int e) override { return e == FL_PUSH ? 1 : Fl_Box::handle(e); }
};

// FLTK insets inside-aligned labels by 3 px; boxes start 3 px early to put text where asked.
constexpr int kInset = 3;

int main(int argc, char **argv) {
    const char *texture = argc > 1 ? argv[1] : "stucco.bmp";
    Fl_Double_Window win(478, 334, kTitle);

    Fl_Box bg(0, 0, 478, 334);
    bg.image(new Fl_Tiled_Image(new Fl_BMP_Image(texture)));

    Fl_Box text(120 - kInset, 11, 297 + 2 * kInset, 200, kBody);
    text.labelfont(FL_HELVETICA_BOLD);
    text.labelsize(14);
    text.align(FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_LEFT | FL_ALIGN_WRAP);

    Fl_Box name(10 - kInset, 67, 100, 24, kName);
    name.labelfont(FL_HELVETICA_BOLD);
    name.labelsize(19);
    name.labelcolor(FL_RED);
    name.align(FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_LEFT);

    Link download(16, 218, 110, 18, kLink1);
    Link site(16, 251, 130, 18, kLink2);

    Fl_Return_Button close(329, 245, 75, 25, "Close");  // Enter = default button
    close.callback([](Fl_Widget *w, void *) { w->window()->hide(); });

    win.end();
    win.show();
    return Fl::run();  // 0 once the window is hidden
}
