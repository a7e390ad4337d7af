#include "UiDump.h"

namespace mayahost {

namespace {

// A caption as a MEL string literal, so blanks and line breaks stay readable on one line.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

}  // namespace

std::string UiDump::text(const UiElement& element) {
    std::string out;
    line(element, 0, out);
    return out;
}

void UiDump::line(const UiElement& element, int depth, std::string& out) {
    out += std::string(static_cast<std::size_t>(depth) * 2, ' ');
    out += element.type() + " " + element.name();
    const std::string caption = element.caption();
    if (element.kind() != UiElement::Kind::Layout || !caption.empty()) {
        out += " " + quoted(caption);
    }
    if (element.kind() == UiElement::Kind::Window) {
        out += element.visible() ? " shown" : " hidden";
    } else if (!element.visible()) {
        out += " hidden";
    }
    if (element.type() == "checkBox") {
        out += element.integer("value") != 0 ? " on" : " off";
    }
    if (element.type() == "optionMenu" && element.chosenItem() != nullptr) {
        out += " = " + quoted(element.chosenItem()->caption());
    }
    if (!element.enabled()) {
        out += " disabled";
    }
    if (element.has("editable") && element.integer("editable") == 0) {
        out += " read-only";
    }
    out += "\n";
    for (const auto& child : element.children()) {
        line(*child, depth + 1, out);
    }
}

}  // namespace mayahost
