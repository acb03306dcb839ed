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

It also counts the URLs asked for more than once (however their escapes
are spelled), and what the mirror asked for and kept that no page links, by
the links of the originals of the saved pages and style sheets (attributes
that load or lead somewhere, a refresh's target, url(...) and @import):

  script requests  requests for server-side script names (.php .cgi .asp
                   .aspx .jsp .pl) that none of them links;
  unlinked pages   saved pages that none of them links (the start page
                   aside).

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
CSS_IMPORT = re.compile(r"@import\s+(['\"])([^'\"]*)\1", re.IGNORECASE)
REFRESH_URL = re.compile(r"url\s*=\s*['\"]?([^'\"\s;]+)", re.IGNORECASE)
SPACE = re.compile(r"\s+")
SCRIPT_EXTENSIONS = ("php", "cgi", "asp", "aspx", "jsp", "pl")
# Attributes whose value a browser loads or follows.
LINK_ATTRIBUTES = {"href", "src", "background", "data", "poster", "action", "cite", "longdesc", "usemap",
                   "codebase", "archive", "manifest", "formaction", "icon"}


def type_of_name(name):
    base = os.path.basename(name)
    if "." not in base:
        return None
    return TYPES.get(base.rsplit(".", 1)[1].lower())


class PageText(HTMLParser):
    """The visible text, the inline scripts and the links of a page."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.text = []
        self.scripts = []
        self.links = []
        self.base = None
        self.skip = None

    def handle_starttag(self, tag, attrs):
        if tag in ("script", "style"):
            self.skip = tag
            if tag == "script":
                self.scripts.append("")
        values = dict(attrs)
        for name, value in attrs:
            if value is None:
                continue
            if name in LINK_ATTRIBUTES:
                self.links.append(value.strip())
            elif name in ("srcset", "imagesrcset"):
                self.links.extend(c.strip().split()[0] for c in value.split(",") if c.strip())
            elif name == "style":
                self.links.extend(m.group(2).strip() for m in CSS_URL.finditer(value))
        if tag == "base" and values.get("href") and self.base is None:
            self.base = values["href"].strip()
        if tag == "meta" and (values.get("http-equiv") or "").lower() == "refresh":
            target = REFRESH_URL.search(values.get("content") or "")
            if target:
                self.links.append(target.group(1))

    def handle_endtag(self, tag):
        if tag == self.skip:
            self.skip = None

    def handle_data(self, data):
        if self.skip == "script":
            self.scripts[-1] += data
        elif self.skip == "style":
            self.links.extend(link for _, link in css_references(data))
        elif self.skip is None:
            self.text.append(data)


def css_references(sheet):
    """(offset, target) of each url(...) and @import of a style sheet."""
    found = [(m.start(), m.group(2).strip()) for m in CSS_URL.finditer(sheet)]
    found += [(m.start(), m.group(2).strip()) for m in CSS_IMPORT.finditer(sheet)]
    return sorted(found)


def parse_page(data):
    parser = PageText()
    parser.feed(data.decode("utf-8", errors="replace"))
    parser.close()
    return parser


def page_parts(data_or_parser):
    parser = data_or_parser if isinstance(data_or_parser, PageText) else parse_page(data_or_parser)
    return SPACE.sub(" ", " ".join(parser.text)).strip(), [s.strip() for s in parser.scripts]


def linked_paths(data, kind, path, site, parser=None):
    """The URL paths on the site (decoded, query cut) that the original of a
    page or style sheet at `path` links (`parser`: the page already read)."""
    if kind == "html":
        parser = parser or parse_page(data)
        links, base = parser.links, urljoin(site + path, parser.base) if parser.base else site + path
    elif kind == "css":
        links, base = [link for _, link in css_references(data.decode("utf-8", "replace"))], site + path
    else:
        return set()
    paths = set()
    for link in links:
        if not link or link.startswith("#"):
            continue
        target = urlsplit(urljoin(base, link))
        if "%s://%s" % (target.scheme, target.netloc) == site:
            paths.add(unquote(target.path) or "/")
    return paths


def is_linked(path, linked):
    """A page's URL path is linked as it is, as the folder a link without
    the trailing slash is sent on to, or as a folder's index file."""
    return path in linked or (path.endswith("/") and (path.rstrip("/") in linked or path + "index.html" in linked))


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


def difference(original, data, kind, original_page=None):
    """None when `data` keeps the content of `original`, else (check, text);
    `original_page`: the original already read (parse_page)."""
    if kind == "html":
        text_a, scripts_a = page_parts(original_page or original)
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


def check(mirror, root, site, log_path, limit, start_path="/"):
    originals = Originals(root, site)
    result = Check(limit)
    linked = set()  # what the originals of the saved pages and style sheets link
    saved_pages = []  # the URL paths each saved page may stand for
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
        original_page = parse_page(originals.content(path)) if kind == "html" else None
        linked |= linked_paths(originals.content(path), kind, path, site, original_page)
        if kind == "html":
            saved_pages.append((relative, paths))
        saved_kind = type_of_name(relative)
        if kind and saved_kind and kind != saved_kind:
            result.fail("extension", "%s (a %s file saved as %s)" % (relative, kind, saved_kind))
        compared["pages" if kind == "html" else "files"] += 1
        problem = difference(originals.content(path), data, kind, original_page)
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
    asked = defaultdict(list)
    for method, target, status in requests:
        asked[(method, unquote(target))].append(status)
    for (method, target), statuses in asked.items():
        if len(statuses) > 1:
            result.fail("repeated-urls", "%s %s %s" % (method, target, " ".join(map(str, statuses))))
    for method, target, status in requests:
        path = unquote(target.split("?", 1)[0])
        if path.rsplit(".", 1)[-1].lower() in SCRIPT_EXTENSIONS and "." in os.path.basename(path) \
                and path not in linked:
            result.fail("script-requests", "%s %s %d" % (method, target, status))
    for relative, paths in saved_pages:
        if start_path not in paths and not any(is_linked(p, linked) for p in paths):
            result.fail("unlinked-pages", "%s (%s)" % (relative, paths[0]))
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
        "repeated_urls": result.counts["repeated-urls"],
        "script_requests": result.counts["script-requests"],
        "unlinked_pages": result.counts["unlinked-pages"],
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
    parser.add_argument("--start", default="/", help="the start URL's path (a page no other needs to link)")
    args = parser.parse_args()
    report = check(args.mirror, args.root, args.site.rstrip("/"), args.access_log, args.examples,
                   unquote(args.start)) if os.path.isdir(args.mirror) else {"missing": args.mirror}
    print(json.dumps(report, sort_keys=True))
    return 0


if __name__ == "__main__":
    sys.exit(main())
