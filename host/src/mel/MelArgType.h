#pragma once

namespace mayahost {

// What one argument of a command flag (or a positional argument) must be.
//   Bool    on/off, yes/no, true/false, or a number (non-zero is true); stored as int 0/1
//   Int     an integer; a float or numeric string with no fraction is accepted
//   Float   a number, or a string that is one
//   String  any scalar, as text
//   Script  like String: MEL code run later (a callback)
//   Time    a number in the current time unit, or one with a unit suffix (2sec, 6ntsc);
//           stored as a float, or as the string as written when it carries a unit
//   Any     the value as given, arrays included
enum class MelArgType { Bool, Int, Float, String, Script, Time, Any };

// The mode a command runs in: create (no -q/-e), query (-q) or edit (-e).
enum class MelMode { Create, Query, Edit };

}  // namespace mayahost
