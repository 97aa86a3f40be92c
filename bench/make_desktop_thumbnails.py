#!/usr/bin/python3
"""Makes the desktop's thumbnails of the pictures named on the command line, as a desktop would,
with the desktop's own library (GNOME's thumbnail factory, which follows the freedesktop thumbnail
standard), into $XDG_CACHE_HOME/thumbnails/normal. Pictures that have a sound entry already are
skipped. Needs: apt-get install python3-gi gir1.2-gnomedesktop-3.0 gir1.2-gdkpixbuf-2.0

usage: XDG_CACHE_HOME=DIR make_desktop_thumbnails.py PICTURE...
"""
import os
import sys

import gi

gi.require_version("GnomeDesktop", "3.0")
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf, GLib, GnomeDesktop  # noqa: E402


def main():
    factory = GnomeDesktop.DesktopThumbnailFactory.new(GnomeDesktop.DesktopThumbnailSize.NORMAL)
    made = 0
    for path in sys.argv[1:]:
        path = os.path.abspath(path)
        uri = GLib.filename_to_uri(path, None)
        mtime = int(os.stat(path).st_mtime)
        if factory.lookup(uri, mtime):
            continue
        # The factory's own generate_thumbnail runs the desktop's sandboxed thumbnailers; the
        # picture is scaled here by the same library those use, and saved by the factory.
        pixbuf = GdkPixbuf.Pixbuf.new_from_file_at_scale(path, 128, 128, True)
        factory.save_thumbnail(pixbuf, uri, mtime)
        made += 1
    print(f"{made} desktop thumbnails made, {len(sys.argv) - 1 - made} there already")


if __name__ == "__main__":
    main()
