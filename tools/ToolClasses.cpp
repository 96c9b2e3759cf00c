#include "tools/ToolClasses.h"

#include "lumivane/framework/Component.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "app/frmMain.h"
#include "gallery/frmGallery.h"

using namespace lumivane;

void RegisterToolClasses() {
    RegisterNoticeWindow();
    RegisterGalleryWindow();
}

std::string LayoutRootClass(const std::string& text) {
    size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    size_t eol = text.find('\n', start);
    std::string first = text.substr(start, eol == std::string::npos ? std::string::npos : eol - start);
    size_t colon = first.find(':');
    if (colon == std::string::npos) return {};
    std::string cls = first.substr(colon + 1);
    while (!cls.empty() && (cls.back() == '\r' || cls.back() == ' ' || cls.back() == '\t')) cls.pop_back();
    while (!cls.empty() && (cls.front() == ' ' || cls.front() == '\t')) cls.erase(0, 1);
    return cls;
}

TCustomForm* CreateLayoutForm(const std::string& text, std::string* notice) {
    const std::string root = LayoutRootClass(text);
    TClass cls = GetClass(root);
    const bool foreign = !cls && IsValidIdent(root);
    if (!cls || !cls->InheritsFrom(TCustomForm::StaticClass())) cls = TForm::StaticClass();
    // A form class loads its own compiled-in layout; here it gets the one given instead.
    TCustomForm::SuppressResourceLayouts(true);
    TCustomForm* form = nullptr;
    try {
        form = Application->CreateForm(cls);
        if (foreign)
            form->LoadForeignFormText(text);
        else
            form->LoadFormText(text);
    } catch (...) {
        TCustomForm::SuppressResourceLayouts(false);
        delete form;
        throw;
    }
    TCustomForm::SuppressResourceLayouts(false);
    if (foreign && notice)
        *notice = root + " is not a class of this program: shown as a plain TForm, its events traced but not called";
    return form;
}
