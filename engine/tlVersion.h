#ifndef TLVERSION_H
#define TLVERSION_H

// The one place that names the program and its version.
namespace tl {
inline constexpr char productName[] = "Tilvane";
inline constexpr char version[] = "2.2.4";
}

#endif
