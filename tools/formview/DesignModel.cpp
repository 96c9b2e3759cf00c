#include "tools/formview/DesignModel.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "tools/formview/LayoutText.h"

using namespace lumivane;

TDesignModel::TDesignModel() = default;

TDesignModel::~TDesignModel() = default;

std::unique_ptr<TCustomForm> TDesignModel::Read(const std::string& text) const {
    TCustomForm::SuppressResourceLayouts(true);
    std::unique_ptr<TCustomForm> root(new TForm(nullptr));
    TCustomForm::SuppressResourceLayouts(false);
    root->SetDesigning(true);
    ReadFormAsPlainForm(root.get(), text);
    return root;
}

std::string TDesignModel::Write(TCustomForm* root) const { return WithHeaderClass(WriteForm(root), FRootClass); }

void TDesignModel::Load(const std::string& text) {
    const std::string cls = LayoutHeaderClass(text);
    std::unique_ptr<TCustomForm> root = Read(text);
    FRootClass = cls;
    std::string written = Write(root.get());
    FUndo.clear();
    FRedo.clear();
    FSavedText = written;
    Replace(std::move(root), std::move(written));
}

void TDesignModel::Replace(std::unique_ptr<TCustomForm> root, std::string text) {
    if (FRoot && OnRootGoing) OnRootGoing();
    FRoot = std::move(root);
    FText = std::move(text);
    std::vector<std::string> kept;
    for (const std::string& n : Selection)
        if (Find(n)) kept.push_back(n);
    Selection = std::move(kept);
    if (OnRootChanged) OnRootChanged();
}

void TDesignModel::Apply(const std::string& text) { Apply(text, nullptr); }

void TDesignModel::Apply(const std::string& text, const std::function<void(TCustomForm*)>& adjust) {
    std::unique_ptr<TCustomForm> root = Read(text);
    std::string written = Write(root.get());
    if (adjust) {
        // What the components became must read back as itself: they are made anew from it.
        adjust(root.get());
        root = Read(Write(root.get()));
        written = Write(root.get());
    }
    if (written == FText) return;
    FUndo.push_back(FText);
    FRedo.clear();
    Replace(std::move(root), std::move(written));
}

bool TDesignModel::CommitLive() {
    // What a control does of a value on loading (an autosized label takes its own size again) is
    // what the file gives: the text is the one that reads back as itself.
    const std::string written = Write(FRoot.get());
    std::unique_ptr<TCustomForm> fresh = Read(written);
    std::string canonical = Write(fresh.get());
    const bool changed = canonical != FText;
    if (changed) {
        FUndo.push_back(FText);
        FRedo.clear();
    }
    if (written != canonical)
        Replace(std::move(fresh), std::move(canonical));
    else
        FText = std::move(canonical);
    return changed;
}

bool TDesignModel::Undo() {
    if (FUndo.empty()) return false;
    std::string text = std::move(FUndo.back());
    FUndo.pop_back();
    std::unique_ptr<TCustomForm> root = Read(text);  // a text the writer made reads back
    FRedo.push_back(FText);
    Replace(std::move(root), std::move(text));
    return true;
}

bool TDesignModel::Redo() {
    if (FRedo.empty()) return false;
    std::string text = std::move(FRedo.back());
    FRedo.pop_back();
    std::unique_ptr<TCustomForm> root = Read(text);
    FUndo.push_back(FText);
    Replace(std::move(root), std::move(text));
    return true;
}

void TDesignModel::Save(const std::string& path) {
    // A new file renamed over the old one: a failure half way leaves the old file whole.
    const std::string temp = path + ".saving";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) throw Exception("cannot write " + temp + ": " + std::strerror(errno));
    bool ok = std::fwrite(FText.data(), 1, FText.size(), f) == FText.size();
    ok = std::fflush(f) == 0 && ok;
    const int err = errno;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        const int e = ok ? errno : err;
        ::unlink(temp.c_str());
        throw Exception("cannot save " + path + ": " + std::strerror(e));
    }
    FSavedText = FText;
}

TDesignModel::TDiskChange TDesignModel::DiskChanged(const std::string& disk) const {
    if (disk == FSavedText || disk == FText) return TDiskChange::Own;
    return Modified() ? TDiskChange::Ask : TDiskChange::Load;
}

TComponent* TDesignModel::Find(const std::string& name) const {
    if (!FRoot || name.empty()) return nullptr;
    if (SameText(FRoot->Name(), name)) return FRoot.get();
    return FRoot->FindComponent(name);
}

std::vector<std::string> TDesignModel::Names() const {
    std::vector<std::string> names;
    if (!FRoot) return names;
    names.push_back(FRoot->Name());
    for (int i = 0; i < FRoot->ComponentCount(); ++i) names.push_back(FRoot->Components(i)->Name());
    return names;
}

const std::vector<std::string>& TDesignModel::KeptMembers(TClass cls, const TPropInfo& prop) const {
    auto [at, fresh] = FKept.try_emplace({cls, &prop});
    if (!fresh) return at->second;
    if (cls->InheritsFrom(TCustomForm::StaticClass())) return at->second = prop.Members;
    for (size_t i = 0; i < prop.Members.size(); ++i) {
        const std::string& member = prop.Members[i];
        try {
            std::unique_ptr<TCustomForm> root =
                Read("object Form1: TForm\n  object Probe1: " + cls->Name() + "\n    " + prop.Name + " = " + member + "\n  end\nend\n");
            TComponent* probe = root->FindComponent("Probe1");
            if (probe && prop.GetOrd(probe) == int64_t(i)) at->second.push_back(member);
        } catch (const Exception&) {
            // Refused: not offered.
        }
    }
    return at->second;
}
