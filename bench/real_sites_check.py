#!/usr/bin/python3
"""Checks that a mirror of a real site kept its content.

    real_sites_check.py MIRROR_SITE_DIR --root SERVED_ROOT --site http://127.0.0.1:PORT
                        --access-log LOG [--examples N] [--json]

MIRROR_SITE_DIR is the folder that stands for the server's root in the
mirror; SERVED_ROOT is the folder nginx serves; LOG holds the requests of this
mirror only (nginx's combined format). Every saved file is matched with the
URL it came from (the URL of its origin label, when it has one; else its own
path, or that path with ".html" added, or a folder for "index.html"/
"Index.html"; a query written into the name is cut) and
compared with what the server has:

  bytes       a non-HTML file is byte-identical (a stylesheet's url(...)
              targets aside: a mirror may relink them);
  text        a page's visible text (tags, scripts and styles stripped,
              white space folded) is the original's;
  scripts     a page's inline scripts are the original's;
  extension   the saved name's type is the content's type (no stylesheet
              saved as .html, no page saved as .css);
  original    the saved file stands for something the site has;
  collision   no two fetched URLs with different content claim one file;
  links       every on-site link of a saved page opens a saved file from
              disk (link_checker.py), unless the site itself has nothing
              there;
  css-links   every local url(...) of a saved stylesheet opens a saved file,
              a copy of the file the original url(...) names.

Prints one JSON object with counts and the first failures of each check.
"""
import argparse
import json
import os
import re
import sys
import urllib.request
from collections import defaultdict
from html.parser import HTMLParser
from urllib.parse import unquote, urljoin, urlsplit

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import link_checker  # noqa: E402

# What each extension is, as the served table and a browser reading from
# disk both see it; names outside the table are opaque and never judged.
TYPES = {
    "html": "html", "htm": "html", "xhtml": "html", "shtml": "html",
    "css": "css", "js": "script", "mjs": "script", "json": "json",
    "txt": "text", "py": "text", "rst": "text", "md": "text",
    "png": "image", "jpg": "image", "jpeg": "image", "gif": "image", "svg": "image", "ico": "image",
    "woff": "font", "woff2": "font", "ttf": "font", "eot": "font",
    "pdf": "pdf", "gz": "gzip", "xml": "xml",
}
LOG_LINE = re.compile(r'"(GET|HEAD) (\S+) HTTP/[0-9.]+" (\d{3}) ')
CSS_URL = re.compile(r"url\(\s*(['\"]?)([^)'\"]*)\1\s*\)", re.IGNORECASE)
SPACE = re.compile(r"\s+")


def type_of_name(name):
    base = os.path.basename(name)
    if "." not in base:
        return None
    return TYPES.get(base.rsplit(".", 1)[1].lower())


class PageText(HTMLParser):
    """The visible text and the inline scripts of a page."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.text = []
        self.scripts = []
        self.skip = None

    def handle_starttag(self, tag, attrs):
        if tag in ("script", "style"):
            self.skip = tag
            if tag == "script":
                self.scripts.append("")

    def handle_endtag(self, tag):
        if tag == self.skip:
            self.skip = None

    def handle_data(self, data):
        if self.skip == "script":
            self.scripts[-1] += data
        elif self.skip is None:
            self.text.append(data)


def page_parts(data):
    parser = PageText()
    parser.feed(data.decode("utf-8", errors="replace"))
    parser.close()
    return SPACE.sub(" ", " ".join(parser.text)).strip(), [s.strip() for s in parser.scripts]


def first_difference(a, b, width=60):
    i = 0
    while i < min(len(a), len(b)) and a[i] == b[i]:
        i += 1
    start = max(0, i - 20)
    return "original %r / saved %r" % (a[start:start + width], b[start:start + width])


class Originals:
    """What the server has for a URL path: a file's bytes, or a folder's page
    (its index.html or nginx's listing), fetched once."""

    def __init__(self, root, site):
        self.root = root
        self.site = site
        self.pages = {}

    def kind(self, path):
        local = os.path.join(self.root, path.lstrip("/"))
        if path.endswith("/") or path == "":
            return "folder" if os.path.isdir(local) else None
        if os.path.isfile(local):
            return "file"
        return None

    def content(self, path):
        if self.kind(path) == "file":
            with open(os.path.join(self.root, path.lstrip("/")), "rb") as f:
                return f.read()
        if path not in self.pages:
            quoted = urllib.request.quote(path, safe="/")
            with urllib.request.urlopen(self.site + quoted, timeout=30) as answer:
                self.pages[path] = answer.read()
        return self.pages[path]

    def content_type(self, path):
        return "html" if self.kind(path) == "folder" else type_of_name(path)


def origin_path(full, site):
    """The URL path in a saved file's origin label (query cut), or None: a
    URL with a query is saved under a generated name carrying its URL there."""
    try:
        origin = os.getxattr(full, "user.xdg.origin.url").decode("utf-8", "replace")
    except OSError:
        return None
    return unquote(urlsplit(origin).path) if origin.startswith(site + "/") else None


def urls_for_saved(relative, originals, full=None):
    """The URL paths a saved file may stand for, its origin label or else
    its own name first."""
    name = "/" + relative
    origin = origin_path(full, originals.site) if full else None
    candidates = [origin] if origin else []
    for stem in (name, name.split("?", 1)[0]):
        candidates.append(stem)
        if stem.lower().endswith(".html"):
            candidates.append(stem[:-5])
        base = os.path.basename(stem).lower()
        if base in ("index.html", "index.htm"):
            candidates.append(stem[: len(stem) - len(base)])
    found = []
    for candidate in candidates:
        if candidate not in found and originals.kind(candidate):
            found.append(candidate)
    return found


def url_for_saved(relative, originals):
    found = urls_for_saved(relative, originals)
    return found[0] if found else None


def difference(original, data, kind):
    """None when `data` keeps the content of `original`, else (check, text)."""
    if kind == "html":
        text_a, scripts_a = page_parts(original)
        text_b, scripts_b = page_parts(data)
        if text_a != text_b:
            return "text", first_difference(text_a, text_b)
        if scripts_a != scripts_b:
            pairs = [(a, b) for a, b in zip(scripts_a, scripts_b) if a != b] or [("", "")]
            return "scripts", first_difference(*pairs[0])
        return None
    if kind == "css":
        original = CSS_URL.sub("url()", original.decode("utf-8", "replace"))
        data = CSS_URL.sub("url()", data.decode("utf-8", "replace"))
    return None if original == data else ("bytes", first_difference(original, data))


class Check:
    def __init__(self, limit):
        self.limit = limit
        self.failures = defaultdict(list)
        self.counts = defaultdict(int)

    def fail(self, name, text):
        self.counts[name] += 1
        if len(self.failures[name]) < self.limit:
            self.failures[name].append(text)


def requests_of(log_path):
    requests = []
    with open(log_path, encoding="utf-8", errors="replace") as log:
        for line in log:
            match = LOG_LINE.search(line)
            if match:
                requests.append((match.group(1), match.group(2), int(match.group(3))))
    return requests


def check(mirror, root, site, log_path, limit):
    originals = Originals(root, site)
    result = Check(limit)
    saved = {}
    for folder, subfolders, files in os.walk(mirror):
        subfolders.sort()
        for file_name in sorted(files):
            full = os.path.join(folder, file_name)
            if os.path.isfile(full) and not os.path.islink(full):
                saved[os.path.relpath(full, mirror)] = full

    compared = defaultdict(int)
    for relative, full in saved.items():
        paths = urls_for_saved(relative, originals, full)
        if not paths:
            result.fail("original", relative)
            continue
        with open(full, "rb") as f:
            data = f.read()
        path = paths[0]
        kind = originals.content_type(path)
        saved_kind = type_of_name(relative)
        if kind and saved_kind and kind != saved_kind:
            result.fail("extension", "%s (a %s file saved as %s)" % (relative, kind, saved_kind))
        compared["pages" if kind == "html" else "files"] += 1
        problem = difference(originals.content(path), data, kind)
        if problem is None:
            continue
        # Another URL's content under this name: one overwrote the other.
        holder = next((p for p in paths[1:] if difference(originals.content(p), data,
                                                          originals.content_type(p)) is None), None)
        if holder is not None:
            result.fail("collision", "%s holds %s, not %s" % (relative, holder, path))
        else:
            result.fail(problem[0], "%s: %s" % (relative, problem[1]))

    # Every broken link, less those already dead on the site itself.
    links = link_checker.check_mirror(os.path.normpath(os.path.abspath(mirror)), site, [], 1 << 30)
    dead = 0
    for example in links.examples:
        page = url_for_saved(example["page"], originals) or "/" + example["page"]
        target = unquote(urlsplit(urljoin(page, example["link"].strip())).path)
        if originals.kind(target) is None:
            dead += 1
            continue
        result.fail("links", "%s: %s (%s)" % (example["page"], example["link"], example["problem"]))

    for relative, full in saved.items():
        if type_of_name(relative) != "css":
            continue
        with open(full, "rb") as f:
            sheet = f.read().decode("utf-8", "replace")
        # The original's url() targets in the same order, to see that each
        # relinked one opens a copy of the very file it named.
        sheet_path = url_for_saved(relative, originals)
        wanted = []
        if sheet_path and originals.kind(sheet_path) == "file":
            original = originals.content(sheet_path).decode("utf-8", "replace")
            wanted = [unquote(urlsplit(urljoin(sheet_path, m.group(2).strip())).path)
                      for m in CSS_URL.finditer(original)]
        for index, match in enumerate(CSS_URL.finditer(sheet)):
            target = match.group(2).strip()
            if not target or target.startswith("#") or re.match(r"^[a-zA-Z][a-zA-Z0-9+.-]+:", target) \
                    or target.startswith("//"):
                result.counts["css_other"] += 1
                continue
            result.counts["css_links"] += 1
            if not link_checker.opens_saved_file(full, target):
                result.fail("css-links", "%s: url(%s)" % (relative, target))
                continue
            bare = target.split("#")[0]
            opened = next((p for p in (os.path.normpath(os.path.join(os.path.dirname(full), unquote(name)))
                                       for name in (bare, bare.split("?")[0])) if os.path.isfile(p)), None)
            want = wanted[index] if index < len(wanted) else None
            if want and originals.kind(want) == "file" and opened:
                with open(opened, "rb") as f:
                    if f.read() != originals.content(want):
                        result.fail("css-links", "%s: url(%s) opens no copy of %s" % (relative, target, want))

    requests = requests_of(log_path)
    error_requests = [r for r in requests if 400 <= r[2] < 500]
    for method, target, status in error_requests[:limit]:
        result.failures["4xx"].append("%s %s %d" % (method, target, status))
    return {
        "files_saved": len(saved),
        "pages_compared": compared["pages"],
        "files_compared": compared["files"],
        "requests": len(requests),
        "requests_4xx": len(error_requests),
        "on_site_links": links.on_site,
        "on_site_working": links.on_site_working,
        "on_site_dead_on_site": dead,
        "css_links": result.counts["css_links"],
        "failed": {name: result.counts[name] for name in
                   ("bytes", "text", "scripts", "extension", "original", "collision", "links", "css-links")},
        "examples": dict(result.failures),
    }


def main():
    parser = argparse.ArgumentParser(description="Check a real site's mirror against the served originals")
    parser.add_argument("mirror")
    parser.add_argument("--root", required=True)
    parser.add_argument("--site", required=True)
    parser.add_argument("--access-log", required=True)
    parser.add_argument("--examples", type=int, default=5)
    args = parser.parse_args()
    report = check(args.mirror, args.root, args.site.rstrip("/"), args.access_log, args.examples) \
        if os.path.isdir(args.mirror) else {"missing": args.mirror}
    print(json.dumps(report, sort_keys=True))
    return 0


if __name__ == "__main__":
    sys.exit(main())
