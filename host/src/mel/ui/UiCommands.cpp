#include "UiCommands.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <utility>

#include "MelInterpreter.h"
#include "MelSyntax.h"
#include "MelText.h"

namespace mayahost {

namespace {

using Arg = MelArgType;
using Kind = UiElement::Kind;
constexpr unsigned C = MelFlag::kCreate;
constexpr unsigned Q = MelFlag::kQuery;
constexpr unsigned E = MelFlag::kEdit;

MelFlag flag(const char* longName, const char* shortName, std::vector<Arg> arguments,
             unsigned modes, bool multiUse = false) {
    return MelFlag(longName, shortName, std::move(arguments), modes, multiUse);
}

// Flags every layout and control has.
std::vector<MelFlag> sharedFlags(Kind kind) {
    std::vector<MelFlag> flags = {
        flag("exists", "ex", {}, C),
        flag("parent", "p", {Arg::String}, C | Q),
        flag("enable", "en", {Arg::Bool}, C | Q | E),
        flag("visible", "vis", {Arg::Bool}, C | Q | E),
        flag("manage", "m", {Arg::Bool}, C | Q | E),
        flag("width", "w", {Arg::Int}, C | Q | E),
        flag("height", "h", {Arg::Int}, C | Q | E),
        flag("annotation", "ann", {Arg::String}, C | Q | E),
        flag("docTag", "dtg", {Arg::String}, C | Q | E),
        flag("fullPathName", "fpn", {}, Q),
        flag("backgroundColor", "bgc", {Arg::Float, Arg::Float, Arg::Float}, C | Q | E),
        flag("enableBackground", "ebg", {Arg::Bool}, C | Q | E),
        flag("highlightColor", "hlc", {Arg::Float, Arg::Float, Arg::Float}, C | Q | E),
        flag("noBackground", "nbg", {Arg::Bool}, C | E),
        flag("preventOverride", "po", {Arg::Bool}, C | Q | E),
        flag("enableKeyboardFocus", "ekf", {Arg::Bool}, C | Q | E),
        flag("statusBarMessage", "sbm", {Arg::String}, C | E),
        flag("visibleChangeCommand", "vcc", {Arg::Script}, C | Q | E),
        flag("isObscured", "io", {}, Q),
        flag("numberOfPopupMenus", "npm", {}, Q),
        flag("popupMenuArray", "pma", {}, Q),
    };
    if (kind == Kind::Layout) {
        flags.push_back(flag("childArray", "ca", {}, Q));
        flags.push_back(flag("numberOfChildren", "nch", {}, Q));
    }
    return flags;
}

UiCommands::Form form(const char* type, Kind kind, std::vector<MelFlag> own, bool generic = false) {
    UiCommands::Form made{type, kind, sharedFlags(kind), generic};
    made.flags.insert(made.flags.end(), own.begin(), own.end());
    return made;
}

std::vector<UiCommands::Form> elementForms() {
    std::vector<UiCommands::Form> forms;
    forms.push_back({"window",
                     Kind::Window,
                     {
                         flag("exists", "ex", {}, C),
                         flag("title", "t", {Arg::String}, C | Q | E),
                         flag("widthHeight", "wh", {Arg::Int, Arg::Int}, C | Q | E),
                         flag("width", "w", {Arg::Int}, C | Q | E),
                         flag("height", "h", {Arg::Int}, C | Q | E),
                         flag("topLeftCorner", "tlc", {Arg::Int, Arg::Int}, C | Q | E),
                         flag("visible", "vis", {Arg::Bool}, C | Q | E),
                         flag("sizeable", "s", {Arg::Bool}, C | Q | E),
                         flag("resizeToFitChildren", "rtf", {Arg::Bool}, C | Q | E),
                         flag("iconName", "in", {Arg::String}, C | Q | E),
                         flag("closeCommand", "cc", {Arg::Script}, C | E),
                         flag("retain", "ret", {}, C),
                     },
                     false});
    forms.push_back(form("columnLayout", Kind::Layout,
                         {
                             flag("adjustableColumn", "adj", {Arg::Bool}, C | Q | E),
                             flag("rowSpacing", "rs", {Arg::Int}, C | Q | E),
                             flag("columnAttach", "cat", {Arg::String, Arg::Int}, C | E),
                             flag("columnAlign", "cal", {Arg::String}, C | E),
                             flag("columnOffset", "co", {Arg::String, Arg::Int}, C | E),
                             flag("columnWidth", "cw", {Arg::Int}, C | Q | E),
                         }));
    forms.push_back(
        form("rowLayout", Kind::Layout,
             {
                 flag("numberOfColumns", "nc", {Arg::Int}, C | Q),
                 flag("columnWidth", "cw", {Arg::Int, Arg::Int}, C | E, true),
                 flag("columnWidth2", "cw2", {Arg::Int, Arg::Int}, C | Q | E),
                 flag("columnWidth3", "cw3", {Arg::Int, Arg::Int, Arg::Int}, C | Q | E),
                 flag("adjustableColumn", "adj", {Arg::Int}, C | E),
                 flag("columnAttach", "cat", {Arg::Int, Arg::String, Arg::Int}, C | E, true),
                 flag("columnAlign", "cal", {Arg::Int, Arg::String}, C | E, true),
             }));
    forms.push_back(form("shelfLayout", Kind::Layout,
                         {
                             flag("cellWidth", "cw", {Arg::Int}, C | Q | E),
                             flag("cellHeight", "ch", {Arg::Int}, C | Q | E),
                             flag("cellWidthHeight", "cwh", {Arg::Int, Arg::Int}, C | Q | E),
                             flag("style", "st", {Arg::String}, C | Q | E),
                             flag("spacing", "spa", {Arg::Int}, C | Q | E),
                         }));
    forms.push_back(form("shelfTabLayout", Kind::Layout,
                         {
                             flag("selectTab", "st", {Arg::String}, C | Q | E),
                             flag("selectTabIndex", "sti", {Arg::Int}, C | Q | E),
                             flag("tabLabel", "tl", {Arg::String, Arg::String}, C | E, true),
                             flag("changeCommand", "cc", {Arg::Script}, C | E),
                             flag("image", "i", {Arg::String}, C | Q | E),
                         }));
    forms.push_back(form("text", Kind::Control,
                         {
                             flag("label", "l", {Arg::String}, C | Q | E),
                             flag("align", "al", {Arg::String}, C | Q | E),
                             flag("font", "fn", {Arg::String}, C | Q | E),
                             flag("wordWrap", "ww", {Arg::Bool}, C | Q | E),
                             flag("recomputeSize", "rs", {Arg::Bool}, C | Q | E),
                         }));
    forms.push_back(form("checkBox", Kind::Control,
                         {
                             flag("label", "l", {Arg::String}, C | Q | E),
                             flag("value", "v", {Arg::Bool}, C | Q | E),
                             flag("onCommand", "onc", {Arg::Script}, C | Q | E),
                             flag("offCommand", "ofc", {Arg::Script}, C | Q | E),
                             flag("changeCommand", "cc", {Arg::Script}, C | Q | E),
                             flag("editable", "ed", {Arg::Bool}, C | Q | E),
                             flag("align", "al", {Arg::String}, C | Q | E),
                             flag("recomputeSize", "rs", {Arg::Bool}, C | Q | E),
                         }));
    forms.push_back(form("button", Kind::Control,
                         {
                             flag("label", "l", {Arg::String}, C | Q | E),
                             flag("command", "c", {Arg::Script}, C | Q | E),
                             flag("align", "al", {Arg::String}, C | Q | E),
                             flag("actOnPress", "aop", {Arg::Bool}, C | Q | E),
                             flag("recomputeSize", "rs", {Arg::Bool}, C | Q | E),
                         }));
    forms.push_back(form("scrollField", Kind::Control,
                         {
                             flag("text", "tx", {Arg::String}, C | Q | E),
                             flag("editable", "ed", {Arg::Bool}, C | Q | E),
                             flag("wordWrap", "ww", {Arg::Bool}, C | Q | E),
                             flag("clear", "cl", {}, C | E),
                             flag("insertText", "it", {Arg::String}, C | E),
                             flag("changeCommand", "cc", {Arg::Script}, C | E),
                             flag("enterCommand", "ec", {Arg::Script}, C | E),
                             flag("font", "fn", {Arg::String}, C | Q | E),
                         }));
    // Every flag Maya writes when it saves a shelf, and the rest of Maya 2022's own.
    forms.push_back(
        form("shelfButton", Kind::Control,
             {
                 flag("label", "l", {Arg::String}, C | Q | E),
                 flag("image", "i", {Arg::String}, C | Q | E),
                 flag("image1", "i1", {Arg::String}, C | Q | E),
                 flag("image2", "i2", {Arg::String}, C | Q | E),
                 flag("image3", "i3", {Arg::String}, C | Q | E),
                 flag("disabledImage", "di", {Arg::String}, C | Q | E),
                 flag("highlightImage", "hi", {Arg::String}, C | Q | E),
                 flag("selectionImage", "si", {Arg::String}, C | Q | E),
                 flag("imageOverlayLabel", "iol", {Arg::String}, C | Q | E),
                 flag("overlayLabelColor", "olc", {Arg::Float, Arg::Float, Arg::Float}, C | Q | E),
                 flag("overlayLabelBackColor", "olb",
                      {Arg::Float, Arg::Float, Arg::Float, Arg::Float}, C | Q | E),
                 flag("sourceType", "stp", {Arg::String}, C | Q | E),
                 flag("command", "c", {Arg::Script}, C | Q | E),
                 flag("doubleClickCommand", "dcc", {Arg::Script}, C | Q | E),
                 flag("labelEditingCallback", "lec", {Arg::Script}, C | E),
                 flag("handleNodeDropCallback", "hnd", {Arg::Script}, C | E),
                 flag("style", "st", {Arg::String}, C | Q | E),
                 flag("enableCommandRepeat", "ecr", {Arg::Bool}, C | Q | E),
                 flag("commandRepeatable", "rpt", {Arg::Bool}, C | Q | E),
                 flag("flexibleWidthType", "fwt", {Arg::Int}, C | Q | E),
                 flag("flexibleWidthValue", "fwv", {Arg::Int}, C | Q | E),
                 flag("align", "al", {Arg::String}, C | Q | E),
                 flag("font", "fn", {Arg::String}, C | Q | E),
                 flag("labelOffset", "lo", {Arg::Int}, C | Q | E),
                 flag("rotation", "rot", {Arg::Float}, C | Q | E),
                 flag("flipX", "fx", {Arg::Bool}, C | Q | E),
                 flag("flipY", "fy", {Arg::Bool}, C | Q | E),
                 flag("useAlpha", "ua", {Arg::Bool}, C | Q | E),
                 flag("scaleIcon", "sic", {}, C | E),
                 flag("marginWidth", "mw", {Arg::Int}, C | Q | E),
                 flag("marginHeight", "mh", {Arg::Int}, C | Q | E),
                 flag("flat", "fla", {Arg::Bool}, C | Q | E),
                 flag("noDefaultPopup", "ndp", {}, C),
                 // Popup items: label and command; -mip marks an item as Python.
                 flag("menuItem", "mi", {Arg::String, Arg::Script}, C | Q, true),
                 flag("menuItemPython", "mip", {Arg::Int}, C | Q, true),
                 flag("version", "ver", {Arg::String}, C | Q | E),
             }));
    forms.push_back(form("optionMenu", Kind::Control,
                         {
                             flag("label", "l", {Arg::String}, C | Q | E),
                             flag("value", "v", {Arg::String}, C | Q | E),
                             flag("select", "sl", {Arg::Int}, C | Q | E),
                             flag("changeCommand", "cc", {Arg::Script}, C | E),
                             flag("alwaysCallChangeCommand", "acc", {Arg::Bool}, C | Q | E),
                             flag("beforeShowPopup", "bsp", {Arg::Script}, C | E),
                             flag("maxVisibleItems", "mvi", {Arg::Int}, C | Q | E),
                             flag("numberOfItems", "ni", {}, Q),
                             flag("itemListLong", "ill", {}, Q),
                             flag("itemListShort", "isl", {}, Q),
                         }));
    // Not a control: none of the shared flags.
    forms.push_back({"menuItem",
                     Kind::MenuItem,
                     {
                         flag("exists", "ex", {}, C),
                         flag("parent", "p", {Arg::String}, C),
                         flag("label", "l", {Arg::String}, C | Q | E),
                         flag("command", "c", {Arg::Script}, C | Q | E),
                         flag("sourceType", "stp", {Arg::String}, C | Q | E),
                         flag("enable", "en", {Arg::Bool}, C | Q | E),
                         flag("data", "da", {Arg::Int}, C | Q | E),
                         flag("annotation", "ann", {Arg::String}, C | Q | E),
                         flag("docTag", "dtg", {Arg::String}, C | Q | E),
                         flag("image", "i", {Arg::String}, C | Q | E),
                         flag("divider", "d", {Arg::Bool}, C | Q),
                         flag("checkBox", "cb", {Arg::Bool}, C | Q | E),
                         flag("radioButton", "rb", {Arg::Bool}, C | Q | E),
                         flag("subMenu", "sm", {Arg::Bool}, C | Q),
                         flag("optionBox", "ob", {Arg::Bool}, C | Q),
                         flag("isOptionBox", "iob", {}, Q),
                         flag("boldFont", "bld", {Arg::Bool}, C | Q),
                         flag("italicized", "itl", {Arg::Bool}, C | Q),
                         flag("echoCommand", "ec", {Arg::Bool}, C | Q | E),
                         flag("enableCommandRepeat", "ecr", {Arg::Bool}, C | Q | E),
                         flag("version", "ver", {Arg::String}, C | Q | E),
                     },
                     false});
    forms.push_back(form("layout", Kind::Layout, {}, true));
    forms.push_back(form("control", Kind::Control, {}, true));
    return forms;
}

MelResult text(const std::string& value) {
    return MelResult::success(MelValue::ofString(value));
}

// Maya's wording for an item an option menu lacks is not documented; the host's own.
constexpr const char* kNoSuchItem = "no item of that label or number";

bool isOptionMenu(const UiElement& element) {
    return element.type() == "optionMenu";
}

MelResult notFound(const std::string& name) {
    return MelResult::failure("Object '" + name + "' not found.");
}

const MelFlag* findFlag(const UiCommands::Form& form, const std::string& longName) {
    for (const MelFlag& candidate : form.flags) {
        if (candidate.longName() == longName) {
            return &candidate;
        }
    }
    return nullptr;
}

// The flags Maya writes for each shelf button when it saves a shelf, in its order, with the
// value it writes for one never set.
const std::vector<std::pair<std::string, MelValue>>& savedShelfButtonFlags() {
    static const std::vector<std::pair<std::string, MelValue>> flags = {
        {"enableCommandRepeat", MelValue::ofInt(1)},
        {"flexibleWidthType", MelValue::ofInt(3)},
        {"flexibleWidthValue", MelValue::ofInt(32)},
        {"enable", MelValue::ofInt(1)},
        {"width", MelValue::ofInt(35)},
        {"height", MelValue::ofInt(34)},
        {"manage", MelValue::ofInt(1)},
        {"visible", MelValue::ofInt(1)},
        {"preventOverride", MelValue::ofInt(0)},
        {"annotation", MelValue::ofString("")},
        {"enableBackground", MelValue::ofInt(0)},
        {"backgroundColor", MelValue::ofFloats({0.0, 0.0, 0.0})},
        {"highlightColor", MelValue::ofFloats({0.321569, 0.521569, 0.65098})},
        {"align", MelValue::ofString("center")},
        {"label", MelValue::ofString("")},
        {"labelOffset", MelValue::ofInt(0)},
        {"rotation", MelValue::ofFloat(0.0)},
        {"flipX", MelValue::ofInt(0)},
        {"flipY", MelValue::ofInt(0)},
        {"useAlpha", MelValue::ofInt(1)},
        {"font", MelValue::ofString("plainLabelFont")},
        {"imageOverlayLabel", MelValue::ofString("")},
        {"overlayLabelColor", MelValue::ofFloats({0.8, 0.8, 0.8})},
        {"overlayLabelBackColor", MelValue::ofFloats({0.0, 0.0, 0.0, 0.5})},
        {"image", MelValue::ofString("commandButton.png")},
        {"image1", MelValue::ofString("commandButton.png")},
        {"style", MelValue::ofString("iconOnly")},
        {"marginWidth", MelValue::ofInt(1)},
        {"marginHeight", MelValue::ofInt(1)},
        {"command", MelValue::ofString("")},
        {"sourceType", MelValue::ofString("mel")},
        {"doubleClickCommand", MelValue()},  // written only when set
        {"commandRepeatable", MelValue::ofInt(1)},
        {"flat", MelValue::ofInt(1)},
    };
    return flags;
}

MelValue zeroOf(Arg type) {
    switch (type) {
        case Arg::Bool:
        case Arg::Int:
            return MelValue::ofInt(0);
        case Arg::Float:
        case Arg::Time:
            return MelValue::ofFloat(0.0);
        default:
            return MelValue::ofString(std::string());
    }
}

// What a query gives for a flag that was never set: Maya's defaults where the scripts rely on
// them, otherwise the zero value of the flag's argument.
MelValue defaultOf(const UiElement& element, const MelFlag& flag) {
    const std::string& name = flag.longName();
    if (name == "enable" || name == "manage" || name == "editable") {
        return MelValue::ofInt(1);
    }
    if (name == "visible") {
        return MelValue::ofInt(element.visible() ? 1 : 0);
    }
    if (name == "label" && element.kind() == Kind::Control) {
        return MelValue::ofString(element.name());
    }
    if (name == "title") {
        return MelValue::ofString(element.name());
    }
    if (element.type() == "shelfButton") {
        for (const auto& [saved, fallback] : savedShelfButtonFlags()) {
            if (saved == name && fallback.type() != MelType::None) {
                return fallback;
            }
        }
    }
    if (flag.arguments().size() > 1) {
        bool integral = true;
        bool numeric = true;
        for (Arg type : flag.arguments()) {
            integral = integral && (type == Arg::Int || type == Arg::Bool);
            numeric = numeric && (type == Arg::Int || type == Arg::Bool || type == Arg::Float);
        }
        if (integral) {
            return MelValue::ofInts(std::vector<int>(flag.arguments().size(), 0));
        }
        if (numeric) {
            return MelValue::ofFloats(std::vector<double>(flag.arguments().size(), 0.0));
        }
        return MelValue::ofStrings(std::vector<std::string>(flag.arguments().size()));
    }
    return flag.arguments().empty() ? MelValue::ofInt(0) : zeroOf(flag.arguments()[0]);
}

MelValue stored(const std::vector<MelValue>& values) {
    if (values.size() == 1) {
        return values[0];
    }
    bool integral = true;
    bool numeric = true;
    for (const MelValue& value : values) {
        integral = integral && value.type() == MelType::Int;
        numeric = numeric && (value.type() == MelType::Int || value.type() == MelType::Float);
    }
    if (integral) {
        std::vector<int> ints;
        ints.reserve(values.size());
        for (const MelValue& value : values) {
            ints.push_back(value.asInt());
        }
        return MelValue::ofInts(ints);
    }
    if (numeric) {
        std::vector<double> floats;
        floats.reserve(values.size());
        for (const MelValue& value : values) {
            floats.push_back(value.asFloat());
        }
        return MelValue::ofFloats(floats);
    }
    std::vector<std::string> texts;
    texts.reserve(values.size());
    for (const MelValue& value : values) {
        texts.push_back(value.asString());
    }
    return MelValue::ofStrings(texts);
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// One value as Maya writes it in a shelf file: a string or a list of numbers is followed by
// a blank, a single number is not.
std::string savedValue(const MelValue& value) {
    switch (value.type()) {
        case MelType::Int:
            return std::to_string(value.asInt());
        case MelType::Float:
            return number(value.asFloat());
        case MelType::String:
            return MelText::quote(value.asString()) + " ";
        default: {
            std::string list;
            for (std::size_t i = 0; i < value.size(); ++i) {
                list += number(value.element(i).asFloat()) + " ";
            }
            return list;
        }
    }
}

// The shelf as Maya saves it: a global procedure named after the file that makes each
// button with every flag it has.
std::string shelfFileText(const UiElement& shelf, const std::string& procedure) {
    std::string text = "global proc " + procedure + " () {\n";
    text += "    global string $gBuffStr;\n    global string $gBuffStr0;\n";
    text += "    global string $gBuffStr1;\n\n\n";
    for (const auto& child : shelf.children()) {
        const UiElement& button = *child;
        if (button.type() != "shelfButton") {
            continue;
        }
        text += "    shelfButton\n";
        for (const auto& [name, fallback] : savedShelfButtonFlags()) {
            // Two names of one icon: either given sets both.
            std::string source = name;
            if ((name == "image" || name == "image1") && !button.has(name)) {
                source = name == "image" ? "image1" : "image";
            }
            if (!button.has(source) && fallback.type() == MelType::None) {
                continue;
            }
            // A button without a label shows its name, and is saved so.
            const MelValue shown = name == "label" ? MelValue::ofString(button.name()) : fallback;
            text += "        -" + name + " " + savedValue(button.value(source, shown)) + "\n";
        }
        const MelValue items = button.value("menuItem", MelValue::ofStrings({}));
        const MelValue python = button.value("menuItemPython", MelValue::ofInts({}));
        for (std::size_t item = 0; item + 1 < items.size(); item += 2) {
            text += "        -mi " + MelText::quote(items.element(item).asString()) + " ( " +
                    MelText::quote(items.element(item + 1).asString()) + " )\n";
            for (std::size_t i = 0; i < python.size(); ++i) {
                if (python.element(i).asInt() == static_cast<int>(item / 2)) {
                    text += "        -mip " + std::to_string(item / 2) + "\n";
                }
            }
        }
        text += "    ;\n";
    }
    return text + "\n} \n";
}

}  // namespace

bool UiCommands::install(MelInterpreter& interpreter) {
    forms_ = elementForms();
    bool all = true;
    for (const Form& each : forms_) {
        MelSyntax syntax(each.type);
        for (const MelFlag& f : each.flags) {
            syntax.addFlag(f);
        }
        syntax.setPositionals(0, 1, Arg::String);
        const Form* held = &each;
        all = interpreter.registerCommand(std::move(syntax), [this, held](const MelInvocation& call,
                                                                          MelContext& context) {
            return element(*held, call, context);
        }) && all;
    }
    all = interpreter.registerCommand(
              MelSyntax("saveShelf").setPositionals(2, 2, Arg::String),
              [this](const MelInvocation& call, MelContext&) { return saveShelf(call); }) &&
          all;
    all = interpreter.registerCommand(
              MelSyntax("showWindow").setPositionals(0, 1, Arg::String),
              [this](const MelInvocation& call, MelContext&) { return showWindow(call); }) &&
          all;
    all = interpreter.registerCommand(
              MelSyntax("setParent")
                  .addFlag("topLevel", "top")
                  .addFlag("upLevel", "u")
                  .addFlag("menu", "m", {}, C | Q)
                  .setPositionals(0, 1, Arg::String),
              [this](const MelInvocation& call, MelContext&) { return setParent(call); }) &&
          all;
    MelSyntax deleteSyntax("deleteUI");
    for (const auto& [longName, shortName] :
         std::vector<std::pair<const char*, const char*>>{{"window", "wnd"},
                                                          {"layout", "lay"},
                                                          {"control", "ctl"},
                                                          {"menu", "m"},
                                                          {"menuItem", "mi"},
                                                          {"editor", "ed"},
                                                          {"panel", "pnl"},
                                                          {"panelConfig", "pc"},
                                                          {"collection", "cl"},
                                                          {"radioMenuItemCollection", "ric"},
                                                          {"toolContext", "tc"},
                                                          {"uiTemplate", "uit"}}) {
        deleteSyntax.addFlag(longName, shortName);
    }
    deleteSyntax.setPositionals(1, MelSyntax::kUnlimited, Arg::String);
    all = interpreter.registerCommand(
              std::move(deleteSyntax),
              [this](const MelInvocation& call, MelContext&) { return deleteUi(call); }) &&
          all;
    all = interpreter.registerCommand(
              MelSyntax("lsUI")
                  .addFlag("windows", "wnd")
                  .addFlag("controls", "ctl")
                  .addFlag("controlLayouts", "cl")
                  .addFlag("editors", "ed")
                  .addFlag("panels", "p")
                  .addFlag("menus", "m")
                  .addFlag("menuItems", "mi")
                  .addFlag("long", "l")
                  .addFlag("type", "typ", {Arg::String}, C, true)
                  .addFlag("head", "hd", {Arg::Int})
                  .addFlag("tail", "tl", {Arg::Int})
                  .setPositionals(0, MelSyntax::kUnlimited, Arg::String),
              [this](const MelInvocation& call, MelContext&) { return lsUi(call); }) &&
          all;
    return all;
}

MelResult UiCommands::batchRefusal(const std::string& command) const {
    // What Maya's batch mode says to UI commands is not documented; the host refuses them.
    return MelResult::failure(command + ": UI commands are not available in batch mode.");
}

bool UiCommands::matches(const Form& form, const UiElement& element) const {
    if (!form.generic) {
        return element.type() == form.type;
    }
    // Layouts are controls too, as far as `control` is concerned.
    return form.kind == Kind::Layout
               ? element.kind() == Kind::Layout
               : (element.kind() == Kind::Control || element.kind() == Kind::Layout);
}

MelResult UiCommands::element(const Form& form, const MelInvocation& call, MelContext& context) {
    const std::string name =
        call.positionals().empty() ? std::string() : call.positionals()[0].asString();
    const UiTree::Filter filter = [this, &form](const UiElement& e) { return matches(form, e); };
    if (call.isCreate() && call.has("exists")) {
        return MelResult::success(MelValue::ofInt(tree_.find(name, filter) != nullptr ? 1 : 0));
    }
    if (options_.batch) {
        return batchRefusal(form.type);
    }
    if (call.isCreate()) {
        if (form.generic) {
            return notFound(name);  // `layout` and `control` make nothing
        }
        return create(form, call);
    }
    UiElement* found = tree_.find(name, filter);
    if (found == nullptr) {
        return notFound(name);
    }
    return call.isQuery() ? query(form, *found, call) : edit(*found, call, context);
}

MelResult UiCommands::create(const Form& form, const MelInvocation& call) {
    const std::string name =
        call.positionals().empty() ? std::string() : call.positionals()[0].asString();
    if (form.type == "optionMenu" && (call.has("value") || call.has("select"))) {
        // With no items yet, nothing can be chosen.
        return MelResult::failure(std::string("optionMenu: ") + kNoSuchItem);
    }
    UiElement* parent = nullptr;
    if (form.kind == Kind::MenuItem) {
        const std::string menu = call.has("parent") ? call.stringValue("parent") : std::string();
        parent = menu.empty() ? tree_.menuParent() : tree_.find(menu, isOptionMenu);
        if (parent == nullptr) {
            // Maya's wording is not documented; the host's own.
            return menu.empty() ? MelResult::failure("menuItem: there is no menu to put it in.")
                                : notFound(menu);
        }
    } else if (form.kind != Kind::Window) {
        if (call.has("parent")) {
            const std::string parentName = call.stringValue("parent");
            parent = tree_.find(parentName,
                                [](const UiElement& e) { return e.kind() != Kind::Control; });
            if (parent == nullptr) {
                return notFound(parentName);
            }
        } else {
            parent = tree_.defaultParent();
        }
        // Messages for a missing parent are the host's, in Maya's style.
        if (parent == nullptr) {
            return MelResult::failure("No window or layout to put the " + form.type + " in.");
        }
        if (form.kind == Kind::Control && parent->kind() == Kind::Window) {
            return MelResult::failure("Controls must have a layout. No layout found in window: " +
                                      parent->path());
        }
        if (parent->type() == "rowLayout" && parent->has("numberOfColumns") &&
            static_cast<int>(parent->children().size()) >= parent->integer("numberOfColumns")) {
            return MelResult::failure("Too many children in layout: " + parent->path());
        }
    }
    std::string error;
    UiElement* made = tree_.create(form.kind, form.type, name, parent, error);
    if (made == nullptr) {
        return MelResult::failure(error);
    }
    for (const MelInvocation::FlagUse& use : call.flags()) {
        if (use.name != "parent") {
            store(*made, use);
        }
    }
    if (form.kind == Kind::Window || form.kind == Kind::Layout) {
        tree_.setDefaultParent(made);
    }
    if (form.type == "optionMenu") {
        tree_.setMenuParent(made);
    }
    return text(made->path());
}

void UiCommands::store(UiElement& element, const MelInvocation::FlagUse& use) {
    if (use.name == "widthHeight" && use.values.size() == 2) {
        element.set("width", use.values[0]);
        element.set("height", use.values[1]);
        return;
    }
    if (use.name == "clear") {
        element.set("text", MelValue::ofString(std::string()));
        return;
    }
    if (use.name == "insertText" && !use.values.empty()) {
        // The host's insertion point is always the end of the text.
        element.set("text", MelValue::ofString(element.text("text") + use.values[0].asString()));
        return;
    }
    if (use.name == "menuItem" || use.name == "menuItemPython") {
        // Each use adds a popup item (label, command) or marks one as Python.
        MelValue all = element.value(use.name, MelValue());
        std::vector<std::string> texts;
        std::vector<int> ints;
        for (std::size_t i = 0; i < all.size(); ++i) {
            texts.push_back(all.element(i).asString());
            ints.push_back(all.element(i).asInt());
        }
        for (const MelValue& value : use.values) {
            texts.push_back(value.asString());
            ints.push_back(value.asInt());
        }
        element.set(use.name,
                    use.name == "menuItem" ? MelValue::ofStrings(texts) : MelValue::ofInts(ints));
        return;
    }
    element.set(use.name, use.values.empty() ? MelValue::ofInt(1) : stored(use.values));
}

MelResult UiCommands::saveShelf(const MelInvocation& call) {
    if (options_.batch) {
        return batchRefusal("saveShelf");
    }
    const std::string name = call.positionals()[0].asString();
    const UiElement* shelf =
        tree_.find(name, [](const UiElement& e) { return e.type() == "shelfLayout"; });
    if (shelf == nullptr) {
        return notFound(name);
    }
    std::string path = call.positionals()[1].asString();
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".mel") != 0) {
        path += ".mel";
    }
    // The procedure is named after the file, which is how Maya finds it when it loads shelves.
    const std::size_t slash = path.find_last_of('/');
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << shelfFileText(*shelf, file.substr(0, file.size() - 4));
    if (!out.flush()) {
        // Maya's wording is not documented; the host's own.
        return MelResult::failure("saveShelf: cannot write \"" + path + "\".");
    }
    return MelResult::success(MelValue::ofInt(1));
}

MelResult UiCommands::query(const Form& form, UiElement& element, const MelInvocation& call) {
    if (call.flags().empty()) {
        // Maya's wording is not documented; the host's own.
        return MelResult::failure(form.type + ": a query needs a flag to query.");
    }
    const std::string& name = call.flags()[0].name;
    if (name == "fullPathName") {
        return text(element.path());
    }
    if (name == "parent") {
        return text(element.parent() != nullptr ? element.parent()->path() : std::string());
    }
    if (name == "childArray") {
        std::vector<std::string> names;
        for (const auto& child : element.children()) {
            names.push_back(child->name());
        }
        return MelResult::success(MelValue::ofStrings(names));
    }
    if (name == "numberOfChildren") {
        return MelResult::success(MelValue::ofInt(static_cast<int>(element.children().size())));
    }
    if (element.type() == "optionMenu") {
        const UiElement* chosen = element.chosenItem();
        if (name == "value") {
            return text(chosen != nullptr ? chosen->caption() : std::string());
        }
        if (name == "select") {
            int index = 0;
            for (std::size_t i = 0; i < element.children().size(); ++i) {
                index = element.children()[i].get() == chosen ? static_cast<int>(i) + 1 : index;
            }
            return MelResult::success(MelValue::ofInt(index));
        }
        if (name == "numberOfItems") {
            return MelResult::success(MelValue::ofInt(static_cast<int>(element.children().size())));
        }
        if (name == "itemListLong" || name == "itemListShort") {
            std::vector<std::string> items;
            for (const auto& child : element.children()) {
                items.push_back(name == "itemListLong" ? child->path() : child->name());
            }
            return MelResult::success(MelValue::ofStrings(items));
        }
    }
    if (name == "widthHeight") {
        return MelResult::success(
            MelValue::ofInts({element.integer("width"), element.integer("height")}));
    }
    if (name == "selectTab" && !element.has("selectTab")) {
        return text(element.children().empty() ? std::string() : element.children()[0]->name());
    }
    if (element.has(name)) {
        return MelResult::success(element.value(name));
    }
    const MelFlag* known = findFlag(form, name);
    return MelResult::success(known != nullptr ? defaultOf(element, *known) : MelValue());
}

MelResult UiCommands::edit(UiElement& element, const MelInvocation& call, MelContext& context) {
    std::vector<std::string> callbacks;
    for (const MelInvocation::FlagUse& use : call.flags()) {
        if (use.name == "selectTab") {
            const std::string tab = use.values.at(0).asString();
            const bool child =
                std::any_of(element.children().begin(), element.children().end(),
                            [&](const std::unique_ptr<UiElement>& c) { return c->name() == tab; });
            if (!child) {
                return notFound(tab);
            }
        }
        if (element.type() == "optionMenu" && (use.name == "value" || use.name == "select")) {
            // Chooses an item without running the change command, as an edit does in Maya.
            const UiElement* item = nullptr;
            const auto& items = element.children();
            if (use.name == "value") {
                for (const auto& child : items) {
                    item = item == nullptr && child->caption() == use.values.at(0).asString()
                               ? child.get()
                               : item;
                }
            } else if (use.values.at(0).asInt() >= 1 &&
                       use.values.at(0).asInt() <= static_cast<int>(items.size())) {
                item = items[static_cast<std::size_t>(use.values.at(0).asInt() - 1)].get();
            }
            if (item == nullptr) {
                return MelResult::failure("optionMenu: " + std::string(kNoSuchItem) + ": " +
                                          use.values.at(0).asString());
            }
            element.choose(*item);
            continue;
        }
        if (element.type() == "checkBox" && use.name == "value" &&
            options_.checkBoxEditRunsCommands) {
            const int before = element.integer("value");
            const int after = use.values.at(0).asInt();
            if (before != after) {
                callbacks.push_back(element.text(after != 0 ? "onCommand" : "offCommand"));
                callbacks.push_back(element.text("changeCommand"));
            }
        }
        store(element, use);
    }
    for (const std::string& script : callbacks) {
        if (!script.empty()) {
            context.runCallback(script);
        }
    }
    return MelResult::success();
}

MelResult UiCommands::showWindow(const MelInvocation& call) {
    if (options_.batch) {
        return batchRefusal("showWindow");
    }
    UiElement* window = nullptr;
    std::string name;
    if (call.positionals().empty()) {
        window = tree_.lastWindow();
    } else {
        name = call.positionals()[0].asString();
        window = tree_.find(name, [](const UiElement& e) { return e.kind() == Kind::Window; });
    }
    if (window == nullptr) {
        return notFound(name);
    }
    window->set("visible", MelValue::ofInt(1));
    return MelResult::success();
}

MelResult UiCommands::setParent(const MelInvocation& call) {
    if (options_.batch) {
        return batchRefusal("setParent");
    }
    if (call.has("menu")) {
        // The only menus the host has are option menus.
        if (call.isQuery()) {
            return text(tree_.menuParent() != nullptr ? tree_.menuParent()->path() : std::string());
        }
        const std::string menu =
            call.positionals().empty() ? std::string() : call.positionals()[0].asString();
        UiElement* found = tree_.find(menu, isOptionMenu);
        if (found == nullptr) {
            return notFound(menu);
        }
        tree_.setMenuParent(found);
        return text(found->path());
    }
    UiElement* before = tree_.defaultParent();
    if (call.isQuery()) {
        return text(before != nullptr ? before->path() : std::string());
    }
    const std::string target =
        call.positionals().empty() ? std::string() : call.positionals()[0].asString();
    if (call.has("topLevel") || target == "|") {
        tree_.setDefaultParent(nullptr);
    } else if (call.has("upLevel") || target == "..") {
        // Above the top there is nothing: then it stays where it is.
        if (before != nullptr) {
            tree_.setDefaultParent(before->parent());
        }
    } else if (!target.empty()) {
        UiElement* found =
            tree_.find(target, [](const UiElement& e) { return e.kind() != Kind::Control; });
        if (found == nullptr) {
            return notFound(target);
        }
        tree_.setDefaultParent(found);
    } else {
        return text(before != nullptr ? before->path() : std::string());
    }
    UiElement* after = tree_.defaultParent();
    return text(after != before && after != nullptr ? after->path() : std::string());
}

MelResult UiCommands::deleteUi(const MelInvocation& call) {
    if (options_.batch) {
        return batchRefusal("deleteUI");
    }
    const bool typed = !call.flags().empty();
    for (const MelValue& value : call.positionals()) {
        const std::string name = value.asString();
        UiElement* found = tree_.find(name, [&](const UiElement& e) {
            if (!typed) {
                return true;
            }
            return (call.has("window") && e.kind() == Kind::Window) ||
                   (call.has("layout") && e.kind() == Kind::Layout) ||
                   (call.has("control") && e.kind() == Kind::Control) ||
                   (call.has("menuItem") && e.kind() == Kind::MenuItem);
        });
        if (found == nullptr) {
            return notFound(name);
        }
        if (tree_.runningWithin(found)) {
            return MelResult::failure(
                "Cannot delete '" + found->path() +
                "' while its own command runs: Maya would crash. Defer it with evalDeferred.");
        }
        tree_.remove(found);
    }
    return MelResult::success();
}

MelResult UiCommands::lsUi(const MelInvocation& call) const {
    const bool windows = call.has("windows");
    const bool controls = call.has("controls");
    const bool layouts = call.has("controlLayouts");
    const bool anyKind = !windows && !controls && !layouts && !call.has("editors") &&
                         !call.has("panels") && !call.has("menus") && !call.has("menuItems");
    const std::vector<std::string> types = call.stringValues("type");
    std::vector<std::string> names;
    for (const UiElement* element : tree_.all()) {
        const Kind kind = element->kind();
        const bool kindOk = (anyKind && types.empty()) || (windows && kind == Kind::Window) ||
                            (controls && kind == Kind::Control) ||
                            (layouts && kind == Kind::Layout) ||
                            (call.has("menuItems") && kind == Kind::MenuItem) ||
                            std::find(types.begin(), types.end(), element->type()) != types.end();
        if (!kindOk) {
            continue;
        }
        bool named = call.positionals().empty();
        for (const MelValue& pattern : call.positionals()) {
            named = named || MelText::glob(element->name(), pattern.asString());
        }
        if (named) {
            names.push_back(call.has("long") ? element->path() : element->name());
        }
    }
    if (call.has("head")) {
        names.resize(std::min<std::size_t>(
            names.size(), static_cast<std::size_t>(std::max(0, call.intValue("head")))));
    }
    if (call.has("tail")) {
        const std::size_t keep = std::min<std::size_t>(
            names.size(), static_cast<std::size_t>(std::max(0, call.intValue("tail"))));
        names.erase(names.begin(), names.end() - static_cast<std::ptrdiff_t>(keep));
    }
    return MelResult::success(MelValue::ofStrings(names));
}

}  // namespace mayahost
