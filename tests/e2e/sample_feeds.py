"""Feeds and data-file folders for the end-to-end tests of the tray and the notices."""


def rss(name, count):
    items = "".join(
        "<item><title>%s 記事%d</title><link>http://example.com/%s/%d</link>"
        "<pubDate>Mon, %02d Jan 2024 00:00:00 GMT</pubDate></item>" % (name, i, name, i, 20 - i)
        for i in range(count))
    return ('<?xml version="1.0" encoding="UTF-8"?><rss version="2.0"><channel><title>%s</title>'
            "<link>http://example.com/%s</link>%s</channel></rss>" % (name, name, items)).encode()


def folder(title, sites):
    items = "".join(
        '<item type="rss"><title>%s</title><link/><src>%s</src><newflag>0</newflag>'
        '<usedate>1</usedate><count check="0" error="0" update="0"/></item>' % site for site in sites)
    return ('<item type="folder"><title>%s</title><newflag>0</newflag>'
            '<count check="0" error="0" update="0"/><filter condition="0" scope="0"/>%s</item>'
            % (title.replace("&", "&amp;"), items))


def start_program(session, settings, folders):
    """Starts the program on a fresh data file holding `folders` (their XML), with `settings` as
    the lines of section "Option" (and any further sections after them); None keeps the settings
    file the program left."""
    if settings is not None:
        session.write_settings("[Option]\r\n" + settings.replace("\n", "\r\n"))
    with open(session.data_file, "wb") as f:
        f.write(("<?xml version='1.0' encoding='utf-8'?>\n<pelun>%s</pelun>" % "".join(folders)).encode())
    session.start()
    if not session.wait_for_main_window():
        raise AssertionError("the main window did not appear")


def exit_program(session):
    """Exit from the menu; waits until the program has gone."""
    import harness
    session.wintool_ok("post-message", harness.MAIN_WINDOW_CLASS, harness.MAIN_WINDOW_TITLE, "0x111", "57665", "0")
    if not session.poll_until(lambda: not session.main_window_exists(), 30):
        raise AssertionError("the program did not end")
