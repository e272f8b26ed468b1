#include "cli/font_config.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <initializer_list>

namespace pravel::cli {

namespace {

constexpr char kCompactConfig[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <dir prefix="xdg">fonts</dir>
  <dir>~/.fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
  <cachedir>~/.fontconfig</cachedir>
  <selectfont><rejectfont><pattern>
    <patelt name="scalable"><bool>false</bool></patelt>
  </pattern></rejectfont></selectfont>
  <alias binding="same"><family>Arial</family><accept><family>Liberation Sans</family></accept></alias>
  <alias binding="same"><family>Arial Narrow</family><accept><family>Liberation Sans Narrow</family></accept></alias>
  <alias binding="same"><family>Times New Roman</family><accept><family>Liberation Serif</family></accept></alias>
  <alias binding="same"><family>Courier New</family><accept><family>Liberation Mono</family></accept></alias>
  <alias binding="same"><family>Calibri</family><accept><family>Carlito</family></accept></alias>
  <alias binding="same"><family>Cambria</family><accept><family>Caladea</family></accept></alias>
  <alias binding="same"><family>Helvetica</family><accept><family>Nimbus Sans</family></accept></alias>
  <alias binding="same"><family>Helvetica Narrow</family><accept><family>Nimbus Sans Narrow</family></accept></alias>
  <alias binding="same"><family>Times</family><accept><family>Nimbus Roman</family></accept></alias>
  <alias binding="same"><family>Courier</family><accept><family>Nimbus Mono PS</family></accept></alias>
  <alias binding="same"><family>Symbol</family><accept><family>Standard Symbols PS</family></accept></alias>
  <alias binding="same"><family>ZapfDingbats</family><accept><family>D050000L</family></accept></alias>
  <alias binding="same"><family>Zapf Chancery</family><accept><family>Z003</family></accept></alias>
  <alias binding="same"><family>Palatino</family><accept><family>P052</family></accept></alias>
  <alias binding="same"><family>Palatino Linotype</family><accept><family>P052</family></accept></alias>
  <alias binding="same"><family>Bookman</family><accept><family>URW Bookman</family></accept></alias>
  <alias binding="same"><family>Avant Garde</family><accept><family>URW Gothic</family></accept></alias>
  <alias binding="same"><family>New Century Schoolbook</family><accept><family>C059</family></accept></alias>
  <alias><family>Garamond</family><default><family>serif</family></default></alias>
  <alias><family>Georgia</family><default><family>serif</family></default></alias>
  <alias><family>Cambria</family><default><family>serif</family></default></alias>
  <alias><family>Courier New</family><default><family>monospace</family></default></alias>
  <alias><family>Consolas</family><default><family>monospace</family></default></alias>
  <alias><family>Comic Sans MS</family><default><family>cursive</family></default></alias>
  <alias><family>Impact</family><default><family>fantasy</family></default></alias>
  <match target="pattern">
    <test qual="all" name="family" compare="not_eq"><string>sans-serif</string></test>
    <test qual="all" name="family" compare="not_eq"><string>serif</string></test>
    <test qual="all" name="family" compare="not_eq"><string>monospace</string></test>
    <test qual="all" name="family" compare="not_eq"><string>cursive</string></test>
    <test qual="all" name="family" compare="not_eq"><string>fantasy</string></test>
    <edit name="family" mode="append_last"><string>sans-serif</string></edit>
  </match>
  <alias><family>sans-serif</family><prefer><family>Noto Sans</family><family>DejaVu Sans</family>
    <family>Liberation Sans</family><family>Nimbus Sans</family></prefer></alias>
  <alias><family>serif</family><prefer><family>Noto Serif</family><family>DejaVu Serif</family>
    <family>Liberation Serif</family><family>Nimbus Roman</family></prefer></alias>
  <alias><family>monospace</family><prefer><family>Noto Sans Mono</family><family>DejaVu Sans Mono</family>
    <family>Liberation Mono</family><family>Nimbus Mono PS</family></prefer></alias>
  <alias><family>cursive</family><prefer><family>Z003</family></prefer></alias>
  <alias><family>fantasy</family><prefer><family>D050000L</family></prefer></alias>
  <include ignore_missing="yes" prefix="xdg">fontconfig/conf.d</include>
  <include ignore_missing="yes" prefix="xdg">fontconfig/fonts.conf</include>
</fontconfig>
)";

}  // namespace

void UseCompactFontConfig() {
  for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT"})
    if (std::getenv(name) != nullptr) return;
  FcConfig* config = FcConfigCreate();
  if (config == nullptr) return;
  // The current configuration holds a reference of its own.
  if (FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kCompactConfig), FcTrue))
    FcConfigSetCurrent(config);
  FcConfigDestroy(config);
}

}  // namespace pravel::cli
