#!/usr/bin/python3
"""Checks how many links of a saved mirror work from disk.

    link_checker.py MIRROR_DIR --site http://127.0.0.1:PORT [--ignore PATH]... [--json] [--examples N]

Walks MIRROR_DIR, parses every saved HTML page (by extension, or by its first
bytes for pages saved under a query name) and reads each href, src and
background attribute. A link is:
  - fragment: "#..." only, the page itself;
  - other:    mailto:, javascript:, data: and the like;
  - off-site: an absolute or protocol-relative URL to another host;
  - on-site:  everything else. An on-site link works when it opens a saved
              file from disk: resolved against the page's own file (a
              root-relative link goes to the file system's root, as a browser
              does from disk), fragment cut, %-escapes decoded. Tools name
              pages with queries differently ("page.html?x=1",
              "page.html?x=1.html", a hashed name), so the query counts as part
              of the file name only when such a file exists; otherwise the
              link opens the file without it, as a browser does. A folder is
              not a file, and an absolute link back to the server does not
              work from disk.

--ignore names tool bookkeeping (a path relative to MIRROR_DIR, file or
folder) that counts neither as a saved file nor as a page.
"""
import argparse
import json
import os
import re
import sys
from html.parser import HTMLParser
from urllib.parse import unquote, urlsplit

LINK_ATTRIBUTES = {"href", "src", "background"}
SCHEME = re.compile(r"^([a-zA-Z][a-zA-Z0-9+.-]*):")
HTML_EXTENSIONS = (".html", ".htm", ".shtml", ".xhtml")
SNIFF_BYTES = 1024


class LinkCollector(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []

    def handle_starttag(self, tag, attrs):
        if tag == "base":
            return
        for name, value in attrs:
            if name in LINK_ATTRIBUTES and value is not None:
                self.links.append(value)

    handle_startendtag = handle_starttag


def is_html_page(path):
    if path.lower().endswith(HTML_EXTENSIONS):
        return True
    try:
        with open(path, "rb") as page:
            head = page.read(SNIFF_BYTES).lstrip().lower()
    except OSError:
        return False
    return head.startswith(b"<!doctype html") or head.startswith(b"<html")


def default_port(scheme):
    return {"http": 80, "https": 443, "ftp": 21}.get(scheme.lower())


def same_site(url, site):
    try:
        parts = urlsplit(url)
        port = parts.port or default_port(parts.scheme or site.scheme)
    except ValueError:
        return False
    site_port = site.port or default_port(site.scheme)
    return (parts.hostname or "").lower() == (site.hostname or "").lower() and port == site_port


def opens_saved_file(page_path, link):
    """True when `link`, written in the page at `page_path`, opens a file on disk."""
    target = link.split("#", 1)[0]
    if target.lower().startswith("file:"):
        target = re.sub(r"^file:(//[^/]*)?", "", target, flags=re.IGNORECASE)
    candidates = [target]
    if "?" in target:
        candidates.append(target.split("?", 1)[0])
    base = os.path.dirname(page_path)
    for candidate in candidates:
        if candidate == "":
            return os.path.isfile(page_path)
        decoded = unquote(candidate, errors="surrogateescape")
        path = decoded if decoded.startswith("/") else os.path.join(base, decoded)
        if os.path.isfile(os.path.normpath(path)):
            return True
    return False


class Report:
    def __init__(self):
        self.files_saved = 0
        self.pages = 0
        self.unparsable_pages = 0
        self.links_total = 0
        self.fragment = 0
        self.other = 0
        self.off_site = 0
        self.on_site = 0
        self.on_site_working = 0
        self.on_site_remote = 0     # absolute links back to the server
        self.on_site_missing = 0    # local links that open no file
        self.examples = []

    def as_dict(self):
        result = {k: v for k, v in vars(self).items() if k != "examples"}
        result["share_working"] = self.on_site_working / self.on_site if self.on_site else 0.0
        result["examples"] = self.examples
        return result


def check_page(page_path, mirror, site, report, example_limit):
    collector = LinkCollector()
    try:
        with open(page_path, "rb") as page:
            collector.feed(page.read().decode("utf-8", errors="replace"))
        collector.close()
    except Exception:   # a page the parser gives up on still counts as checked
        report.unparsable_pages += 1
    for raw in collector.links:
        link = raw.strip()
        report.links_total += 1
        if link.startswith("#"):
            report.fragment += 1
            continue
        scheme = SCHEME.match(link)
        if link.startswith("//") or (scheme and scheme.group(1).lower() in ("http", "https", "ftp")):
            absolute = (site.scheme + ":" + link) if link.startswith("//") else link
            if not same_site(absolute, site):
                report.off_site += 1
                continue
            report.on_site += 1
            report.on_site_remote += 1
            problem = "points at the server"
        elif scheme and scheme.group(1).lower() != "file" and len(scheme.group(1)) > 1:
            report.other += 1
            continue
        else:
            report.on_site += 1
            if opens_saved_file(page_path, link):
                report.on_site_working += 1
                continue
            report.on_site_missing += 1
            problem = "opens no file"
        if len(report.examples) < example_limit:
            report.examples.append({"page": os.path.relpath(page_path, mirror), "link": raw, "problem": problem})


def check_mirror(mirror, site_url, ignore, example_limit):
    site = urlsplit(site_url)
    ignored = {os.path.normpath(os.path.join(mirror, item)) for item in ignore}
    report = Report()
    for folder, subfolders, files in os.walk(mirror):
        subfolders[:] = sorted(s for s in subfolders if os.path.join(folder, s) not in ignored)
        for name in sorted(files):
            path = os.path.join(folder, name)
            if path in ignored or os.path.islink(path) or not os.path.isfile(path):
                continue
            report.files_saved += 1
            if is_html_page(path):
                report.pages += 1
                check_page(path, mirror, site, report, example_limit)
    return report


def main():
    parser = argparse.ArgumentParser(description="Check the links of a saved mirror from disk")
    parser.add_argument("mirror")
    parser.add_argument("--site", required=True, help="the mirrored site's base URL")
    parser.add_argument("--ignore", action="append", default=[], help="tool bookkeeping to leave out")
    parser.add_argument("--json", action="store_true", help="print one JSON object")
    parser.add_argument("--examples", type=int, default=5, help="broken links to show")
    args = parser.parse_args()
    if not os.path.isdir(args.mirror):
        parser.error(f"{args.mirror} is not a folder")
    report = check_mirror(os.path.normpath(os.path.abspath(args.mirror)), args.site, args.ignore, args.examples)
    result = report.as_dict()
    if args.json:
        print(json.dumps(result, sort_keys=True))
        return 0
    for key in ("files_saved", "pages", "links_total", "fragment", "other", "off_site", "on_site",
                "on_site_working", "on_site_remote", "on_site_missing"):
        print(f"{key}: {result[key]}")
    print(f"share_working: {result['share_working']:.4f}")
    for example in result["examples"]:
        print(f"broken: {example['page']}: {example['link']} ({example['problem']})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
