#include "RUKHTMLEntities.h"

namespace ruk {

const THTMLEntityRow HTMLEntityRows[] = {
    {"&nbsp;", 0x20, true}, {"&quot;", 0x22, true}, {"&amp;", 0x26, true}, {"&lt;", 0x3C, true},
    {"&gt;", 0x3E, true}, {"&copy;", 0xA9, true}, {"&mdash;", 0x2D, true},
    {"&iexcl;", 0xA1, false}, {"&cent;", 0xA2, false}, {"&euro;", 0x80, false},
    {"&pound;", 0xA3, false}, {"&yen;", 0xA5, false}, {"&brvbar;", 0xA6, false},
    {"&sect;", 0xA7, false}, {"&uml;", 0xA8, false}, {"&ordf;", 0xAA, false},
    {"&laquo;", 0xAB, false}, {"&not;", 0xAC, false}, {"&reg;", 0xAE, false},
    {"&macr;", 0xAF, false}, {"&deg;", 0xB0, false}, {"&plusmn;", 0xB1, false},
    {"&sup2;", 0xB2, false}, {"&sup3;", 0xB3, false}, {"&acute;", 0xB4, false},
    {"&micro;", 0xB5, false}, {"&para;", 0xB6, false}, {"&middot;", 0xB7, false},
    {"&cedil;", 0xB8, false}, {"&sup1;", 0xB9, false}, {"&ordm;", 0xBA, false},
    {"&raquo;", 0xBB, false}, {"&frac14;", 0xBC, false}, {"&frac12;", 0xBD, false},
    {"&frac34;", 0xBE, false}, {"&iquest;", 0xBF, false}, {"&Agrave;", 0xC0, false},
    {"&Aacute;", 0xC1, false}, {"&Acirc;", 0xC2, false}, {"&Atilde;", 0xC3, false},
    {"&Auml;", 0xC4, false}, {"&Aring;", 0xC5, false}, {"&AElig;", 0xC6, false},
    {"&Ccedil;", 0xC7, false}, {"&Egrave;", 0xC8, false}, {"&Eacute;", 0xC9, false},
    {"&Ecirc;", 0xCA, false}, {"&Euml;", 0xCB, false}, {"&Igrave;", 0xCC, false},
    {"&Iacute;", 0xCD, false}, {"&Icirc;", 0xCE, false}, {"&Iuml;", 0xCF, false},
    {"&ETH;", 0xD0, false}, {"&Ntilde;", 0xD1, false}, {"&Ograve;", 0xD2, false},
    {"&Oacute;", 0xD3, false}, {"&Ocirc;", 0xD4, false}, {"&Otilde;", 0xD5, false},
    {"&Ouml;", 0xD6, false}, {"&times;", 0xD7, false}, {"&Oslash;", 0xD8, false},
    {"&Ugrave;", 0xD9, false}, {"&Uacute;", 0xDA, false}, {"&Ucirc;", 0xDB, false},
    {"&Uuml;", 0xDC, false}, {"&Yacute;", 0xDD, false}, {"&THORN;", 0xDE, false},
    {"&szlig;", 0xDF, false}, {"&agrave;", 0xE0, false}, {"&aacute;", 0xE1, false},
    {"&acirc;", 0xE2, false}, {"&atilde;", 0xE3, false}, {"&auml;", 0xE4, false},
    {"&aring;", 0xE5, false}, {"&aelig;", 0xE6, false}, {"&ccedil;", 0xE7, false},
    {"&egrave;", 0xE8, false}, {"&eacute;", 0xE9, false}, {"&ecirc;", 0xEA, false},
    {"&euml;", 0xEB, false}, {"&igrave;", 0xEC, false}, {"&iacute;", 0xED, false},
    {"&icirc;", 0xEE, false}, {"&iuml;", 0xEF, false}, {"&eth;", 0xF0, false},
    {"&ntilde;", 0xF1, false}, {"&ograve;", 0xF2, false}, {"&oacute;", 0xF3, false},
    {"&ocirc;", 0xF4, false}, {"&otilde;", 0xF5, false}, {"&ouml;", 0xF6, false},
    {"&divide;", 0xF7, false}, {"&oslash;", 0xF8, false}, {"&ugrave;", 0xF9, false},
    {"&uacute;", 0xFA, false}, {"&ucirc;", 0xFB, false}, {"&uuml;", 0xFC, false},
    {"&yacute;", 0xFD, false}, {"&thorn;", 0xFE, false}, {"&yuml;", 0xFF, false},
    {"&bull;", -1, true},
};
static_assert(sizeof(HTMLEntityRows) / sizeof(HTMLEntityRows[0]) == HTMLEntityRowCount);

}  // namespace ruk
