#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lumivane/framework/PropInfo.h"

class TDesignModel;

// One published property of a component as the inspector lists it: nested objects' properties
// (Font.Height) under their dotted names, in published order.
struct TPropertyRow {
    std::string Path;
    const lumivane::TPropInfo* Prop = nullptr;
    // The value as the editor shows it: a string as it is, a picture as its size, an event as its
    // method's name, a reference as the component's name, anything else as the layout writes it.
    std::string Value;
    // What a list offers: members, True/False, the layout's components of the right class.
    std::vector<std::string> Choices;
    // The numbers a layout may give (whole numbers only).
    int64_t Min = 0, Max = 0;
};

std::vector<TPropertyRow> PropertyRows(const TDesignModel& model, const std::string& component);

// Gives the component's property the value the editor's text names, through the layout reader:
// strings are taken as they are typed, a picture is the BMP, ICO or PNG file the text names (empty:
// none), an empty event or reference clears it; anything else is the value as a layout gives it
// ("12", "$FF", "clRed", "[fsBold, fsItalic]"). A value the reader refuses raises its Exception
// with the reader's message (without the line of the layout it was tried in); the model is then
// unchanged. A value that changes nothing adds nothing to the history.
void SetPropertyText(TDesignModel& model, const std::string& component, const std::string& path,
                     const std::string& text);

// The lists' values as the editor's text takes them. Choosing a list's entry i (an enumeration's
// member, False or True, a component's name) gives the entry as it is; a set's members are ticked
// one by one: the value with member i taken in or out, the others as they were.
std::string ChoiceText(const TPropertyRow& row, size_t index);
std::string ToggledMemberText(const TPropertyRow& row, size_t member);
// Which of the set's members its value holds (a member the value does not name is not held).
std::vector<bool> HeldMembers(const TPropertyRow& row);
