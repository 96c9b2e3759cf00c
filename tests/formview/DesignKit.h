#pragma once
// What the designer's tests share: the window system and every class a layout may name.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Application.h"
#include "tools/ToolClasses.h"
#include "tools/formview/DesignModel.h"

class DesignTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        lumivane::Application->Initialize();
        RegisterToolClasses();
    }
    lumivane::HeadlessSession session;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A small layout with a container, a reference and a non-visual component.
inline const char* const kSmallLayout =
    "object Form1: TForm\n"
    "  Caption = 'Small'\n"
    "  ClientHeight = 200\n"
    "  ClientWidth = 300\n"
    "  object Panel1: TPanel\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 200\n"
    "    Height = 120\n"
    "    object Button1: TButton\n"
    "      Left = 16\n"
    "      Top = 16\n"
    "      Width = 75\n"
    "      Height = 25\n"
    "      Caption = 'OK'\n"
    "      PopupMenu = PopupMenu1\n"
    "      OnClick = Button1Click\n"
    "    end\n"
    "  end\n"
    "  object Label1: TLabel\n"
    "    Left = 220\n"
    "    Top = 16\n"
    "    Caption = 'Name'\n"
    "  end\n"
    "  object PopupMenu1: TPopupMenu\n"
    "  end\n"
    "end\n";
