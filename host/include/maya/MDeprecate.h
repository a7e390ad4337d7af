#pragma once

#define OPENMAYA_DEPRECATED(version, message) [[deprecated(message)]]
