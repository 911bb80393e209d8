"""Writes the faces a Windows machine has for the program's fonts into a
Wine prefix's Fonts folder, under the files and names Windows gives them:
micross.ttf ("Microsoft Sans Serif", which Windows puts in place of the
"MS Sans Serif" bitmaps) from Liberation Sans, which has its advance widths,
and simsun.ttc ("SimSun" and "NSimSun", "宋体" and "新宋体" in Chinese) from
AR PL UMing, a Ming face like SimSun. Only the names change (and UMing's
embedded bitmaps go, see below).

    windows_faces.py LIBERATION_SANS.ttf UMING.ttc FONTS_FOLDER
"""
import sys

from fontTools.ttLib import TTCollection, TTFont

ENGLISH = 0x409
CHINESE = 0x804  # Chinese (PRC)


def rename(font, family, chinese=None):
    """Gives FONT the family FAMILY (and its Chinese name) in every name
    record that names the family or the face."""
    names = font["name"]
    style = names.getDebugName(2) or "Regular"
    full = family if style == "Regular" else f"{family} {style}"
    postscript = full.replace(" ", "")
    for record in list(names.names):
        if record.nameID in (16, 17, 18, 21, 22):
            names.removeNames(nameID=record.nameID)
    for name_id in (1, 3, 4, 6):
        names.removeNames(nameID=name_id)
    for name_id, text in ((1, family), (3, full), (4, full), (6, postscript)):
        names.setName(text, name_id, 3, 1, ENGLISH)
        names.setName(text, name_id, 1, 0, 0)
    if chinese:
        names.setName(chinese, 1, 3, 1, CHINESE)
        names.setName(chinese if style == "Regular" else f"{chinese} {style}", 4, 3, 1, CHINESE)


def main():
    latin, ming, folder = sys.argv[1:4]
    sans = TTFont(latin)
    rename(sans, "Microsoft Sans Serif")
    sans.save(f"{folder}/micross.ttf")

    collection = TTCollection(ming)
    for font, (family, chinese) in zip(collection.fonts, (("SimSun", "宋体"), ("NSimSun", "新宋体"))):
        rename(font, family, chinese)
        # Wine draws UMing's embedded bitmaps with the wrong glyphs (a "0"
        # comes out as a "J"): the outlines, drawn without antialiasing, stand
        # in for SimSun's bitmaps.
        for table in ("EBDT", "EBLC", "EBSC"):
            if table in font:
                del font[table]
    collection.fonts = collection.fonts[:2]
    collection.save(f"{folder}/simsun.ttc")


if __name__ == "__main__":
    main()
