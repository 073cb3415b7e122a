#!/usr/bin/env python3
"""Writes a corpus of Japanese text files in six encodings, for the encoding
recognition tests: prose, mixed Japanese and English, CSV, source code with Japanese
comments, mail, and short files of a few words.

    make_encoding_corpus.py OUT [COUNT]

OUT/<encoding>/NNN-<kind>.txt are the files (COUNT of each encoding, 240 by
default). OUT/manifest.tsv names each with its encoding, kind and how many of its
characters code page 932 lacks. For every file not in code page 932,
OUT/expected/<encoding>/NNN-<kind>.txt holds what opening it converted and saving it
gives: code page 932, CR LF, "?" for each character code page 932 lacks.

The text comes from word lists and sentence templates below, with a fixed seed, so
every run writes the same files. Only the standard library is used.
"""

import os
import random
import sys

ENCODINGS = ["cp932", "utf-8", "utf-16le", "utf-16be", "euc-jp", "iso-2022-jp"]
PYTHON_CODEC = {
    "cp932": "cp932",
    "utf-8": "utf-8",
    "utf-16le": "utf-16-le",
    "utf-16be": "utf-16-be",
    "euc-jp": "euc_jp",
    "iso-2022-jp": "iso2022_jp",
}

# ---- word lists

NOUNS = """会議 資料 予定 天気 電車 会社 学校 先生 友達 映画 音楽 料理 旅行 写真 時間 問題
質問 説明 報告書 見積書 請求書 打ち合わせ 締め切り 仕様 設計 開発 試験 結果 原因 対策 部長
課長 担当者 お客様 東京 大阪 京都 北海道 駅 空港 図書館 病院 公園 桜 紅葉 季節 週末 来週
昨日 今朝 夕方 春 夏 秋 冬 雨 雪 風 海 山 川 本 新聞 手紙 メール ファイル データ サーバー
パソコン プリンター ソフトウェア システム ネットワーク データベース プロジェクト スケジュール
ミーティング コーヒー ラーメン お弁当 買い物 散歩 掃除 洗濯 子供 家族 両親 犬 猫 花 庭 窓
部屋 机 椅子 鍵 財布 傘 自転車 車 道 橋 町 村 国 世界 経済 政治 歴史 文化 科学 技術 研究
論文 辞書 漢字 言葉 文章 日記 記録 計画 目標 練習 試合 選手 準備 連絡 確認 変更 追加 削除
修正 更新 保存 印刷 検索 設定 表示 入力 出力 温泉 新幹線 お土産 誕生日 年賀状 引っ越し
会議室 議事録 見学 申込書 領収書 勉強 宿題 夏休み 運動会 発表会 朝ご飯 晩ご飯 野菜 果物""".split()

VERBS = """行きます 来ました 見ました 読みます 書きました 作りました 使います 確認しました 送りました
受け取りました 届きました 始まります 終わりました 変わりました 増えています 減っています
考えています 思います 話しました 聞きました 待っています 探しています 決まりました 間に合いません
遅れています 進んでいます 残っています 見つかりました 忘れないでください お願いします
調べてください 教えてください 送ってください 直しました 片付けました 予約しました 準備しています""".split()

PLAIN_VERBS = "行った 見た 読んだ 書いた 食べた 飲んだ 帰った 出かけた 始めた 終えた 買った 撮った".split()

ADJECTIVES = """新しい 古い 大きい 小さい 早い 遅い 忙しい 楽しい 難しい 易しい 暑い 寒い 暖かい
涼しい 静かな 便利な 大切な 簡単な 複雑な 有名な きれいな 重要な 必要な 懐かしい""".split()

OPENINGS = """今日は 昨日は 明日は 先週 来月 ようやく すでに もう一度 少し とても かなり たぶん 実は
ところで しかし そして それから なお ただし 念のため 取り急ぎ 朝から 午後から""".split()

ENGLISH_WORDS = """README GitHub commit build test API JSON URL OK Zoom Slack PDF Excel Linux Python
server deploy branch issue release version script config backup password login""".split()

ENGLISH_SENTENCES = [
    "Please check the attached file.",
    "Meeting moved to 3pm.",
    "The build failed on CI again.",
    "See the README for details.",
    "Thanks for your help!",
    "Let me know if you have any questions.",
    "I will send the report by Friday.",
    "This is a test message.",
]

SURNAMES = [("佐藤", "サトウ"), ("鈴木", "スズキ"), ("高橋", "タカハシ"), ("田中", "タナカ"),
            ("伊藤", "イトウ"), ("渡辺", "ワタナベ"), ("山本", "ヤマモト"), ("中村", "ナカムラ"),
            ("小林", "コバヤシ"), ("加藤", "カトウ"), ("吉田", "ヨシダ"), ("山田", "ヤマダ"),
            ("佐々木", "ササキ"), ("山口", "ヤマグチ"), ("松本", "マツモト"), ("井上", "イノウエ"),
            ("木村", "キムラ"), ("林", "ハヤシ"), ("斎藤", "サイトウ"), ("清水", "シミズ")]
GIVEN_NAMES = [("太郎", "タロウ"), ("花子", "ハナコ"), ("健太", "ケンタ"), ("美咲", "ミサキ"),
               ("翔太", "ショウタ"), ("陽菜", "ヒナ"), ("大輔", "ダイスケ"), ("結衣", "ユイ"),
               ("直樹", "ナオキ"), ("さくら", "サクラ"), ("誠", "マコト"), ("恵子", "ケイコ")]
PREFECTURES = "東京都 大阪府 北海道 愛知県 福岡県 神奈川県 京都府 兵庫県 埼玉県 千葉県 広島県 宮城県".split()
PRODUCTS = ["ボールペン（黒）", "ノート A4", "クリアファイル", "消しゴム", "ホチキス", "付箋 75mm",
            "電卓", "USBメモリ 32GB", "コピー用紙", "はさみ", "のり", "封筒（長形3号）"]
WEATHER = "晴れ 曇り 雨 雪 晴れ時々曇り 曇りのち雨 にわか雨".split()
WEEKDAYS = "月 火 水 木 金 土 日".split()

# Characters each kind of file brings of its own. Code page 932 files have the NEC
# and IBM extensions and half-width katakana; files from elsewhere have the JIS forms
# of the wave dash and its kin, and now and then a character code page 932 lacks.
CP932_EXTRAS = ["①", "②", "③", "㈱", "№", "～", "－", "∥", "￠", "髙橋", "山﨑", "ﾃｽﾄ",
                "ｶﾌﾞｼｷｶﾞｲｼｬ", "ｱﾝｹｰﾄ", "ⅰ", "Ⅲ"]
JIS_EXTRAS = ["〜", "−", "‖", "¢", "£", "¬", "―"]
UNICODE_EXTRAS = ["😀", "café", "naïve", "✓", "Zoë", "한국어", "简体字", "•", "🍣"]

HALF_WIDTH_SHORT = ["ｺﾝﾆﾁﾊ", "ｵﾂｶﾚｻﾏﾃﾞｼﾀ", "ﾃｽﾄ ﾃﾞｰﾀ", "ｱﾘｶﾞﾄｳ", "ﾆﾎﾝｺﾞ ﾉ ﾌﾞﾝｼｮｳ",
                    "ﾒﾓ: ｷﾞｭｳﾆｭｳ", "ｶﾀｶﾅ ﾃﾞｽ", "ﾏﾂﾓﾄ ﾀﾛｳ"]

# The JIS forms read from EUC-JP, ISO-2022-JP and most UTF-8 text are the same
# characters as their code page 932 forms.
JIS_TO_CP932 = {"\u301C": "\uFF5E", "\u2212": "\uFF0D", "\u2016": "\u2225",
                "\u00A2": "\uFFE0", "\u00A3": "\uFFE1", "\u00AC": "\uFFE2", "\u2014": "\u2015"}


class Writer:
    def __init__(self, rng, encoding):
        self.rng = rng
        self.encoding = encoding

    def pick(self, items):
        return self.rng.choice(items)

    def number(self, low, high):
        n = self.rng.randint(low, high)
        if self.rng.random() < 0.15:  # full-width digits
            return "".join(chr(ord(d) + 0xFEE0) for d in str(n))
        return str(n)

    def extra(self):
        """A character or word that belongs to files of this encoding."""
        if self.encoding == "cp932":
            return self.pick(CP932_EXTRAS)
        if self.encoding in ("euc-jp", "iso-2022-jp"):
            return self.pick(JIS_EXTRAS)
        return self.pick(JIS_EXTRAS + UNICODE_EXTRAS)

    def sentence(self):
        r = self.rng
        n1, n2 = self.pick(NOUNS), self.pick(NOUNS)
        forms = [
            lambda: f"{self.pick(OPENINGS)}{n1}で{n2}を{self.pick(VERBS)}。",
            lambda: f"{n1}は{self.pick(ADJECTIVES)}{n2}です。",
            lambda: f"{self.pick(OPENINGS)}、{n1}の{n2}が{self.pick(VERBS)}。",
            lambda: f"{n1}について、{n2}に{self.pick(VERBS)}。",
            lambda: f"「{n1}の{n2}は{self.predicate()}ですね」と{self.person()}さんが言った。",
            lambda: f"{n1}は{self.number(100, 99999)}円でした。",
            lambda: f"{self.number(1, 12)}時{self.number(0, 59)}分に{n1}へ{self.pick(PLAIN_VERBS)}。",
            lambda: f"{n1}、{n2}、{self.pick(NOUNS)}などを{self.pick(VERBS)}。",
            lambda: f"{n1}を{self.pick(PLAIN_VERBS)}けれど、{n2}はまだ{self.predicate()}。",
        ]
        text = self.pick(forms)()
        if r.random() < 0.08:
            text = text[:-1] + f"（{self.extra()}）。"
        return text

    def predicate(self):
        """An adjective that ends a clause: "静かな" ends as "静か"."""
        adjective = self.pick(ADJECTIVES)
        return adjective[:-1] if adjective.endswith("な") else adjective

    def person(self):
        return self.pick(SURNAMES)[0]

    def prose(self, paragraphs):
        out = []
        for _ in range(paragraphs):
            out.append("".join(self.sentence() for _ in range(self.rng.randint(1, 6))))
        if self.rng.random() < 0.3:
            out.insert(0, f"■{self.pick(NOUNS)}の{self.pick(NOUNS)}")
        return "\n\n".join(out) if self.rng.random() < 0.5 else "\n".join(out)

    def mixed(self, lines):
        out = []
        for _ in range(lines):
            k = self.rng.random()
            if k < 0.3:
                out.append(self.pick(ENGLISH_SENTENCES))
            elif k < 0.7:
                en = self.pick(ENGLISH_WORDS)
                out.append(f"{self.pick(NOUNS)}の{en}を{self.pick(VERBS)}。"
                           f" {self.pick(ENGLISH_WORDS)} {self.number(1, 9)}.{self.number(0, 20)}")
            else:
                out.append(self.sentence() + " " + self.pick(ENGLISH_SENTENCES))
        return "\n".join(out)

    def mail(self):
        surname = self.person()
        topic = self.pick(NOUNS)
        lines = [f"Subject: {topic}の件について", f"From: {self.pick(ENGLISH_WORDS).lower()}@example.co.jp",
                 "", f"{surname}様", "", "いつもお世話になっております。", ""]
        lines += [self.sentence() for _ in range(self.rng.randint(2, 8))]
        lines += ["", "よろしくお願いいたします。", "", "--", f"{self.person()} {self.pick(GIVEN_NAMES)[0]}"]
        return "\n".join(lines)

    def csv(self, rows):
        schema = self.rng.randrange(3)
        if schema == 0:
            lines = ["氏名,フリガナ,年齢,都道府県,電話番号"]
            for _ in range(rows):
                (s, sk), (g, gk) = self.pick(SURNAMES), self.pick(GIVEN_NAMES)
                phone = f"0{self.rng.randint(3, 99)}-{self.rng.randint(100, 9999)}-{self.rng.randint(1000, 9999)}"
                lines.append(f"{s} {g},{sk} {gk},{self.rng.randint(18, 90)},{self.pick(PREFECTURES)},{phone}")
        elif schema == 1:
            lines = ["商品コード,商品名,単価,数量,備考"]
            for _ in range(rows):
                note = self.pick(["", "在庫少", "取り寄せ", f"\"{self.pick(NOUNS)}、{self.pick(NOUNS)}\"",
                                  self.extra()])
                lines.append(f"A{self.rng.randint(1000, 9999)},{self.pick(PRODUCTS)},"
                             f"{self.rng.randint(50, 5000)},{self.rng.randint(1, 100)},{note}")
        else:
            lines = ["日付,曜日,天気,最高気温,最低気温,メモ"]
            for day in range(1, rows + 1):
                lines.append(f"2024/{self.rng.randint(1, 12)}/{day % 28 + 1},{self.pick(WEEKDAYS)},"
                             f"{self.pick(WEATHER)},{self.rng.randint(5, 35)},{self.rng.randint(-5, 25)},"
                             f"{self.pick(['', self.pick(NOUNS), self.sentence()])}")
        return "\n".join(lines)

    def code(self, functions):
        language = self.rng.randrange(3)
        out = []
        for i in range(functions):
            noun, verb = self.pick(NOUNS), self.pick(VERBS)
            name = self.pick(ENGLISH_WORDS).lower()
            if language == 0:
                out += [f"// {noun}を{verb}", f"int {name}_{i}(const char *path)", "{",
                        f"    /* {self.sentence()} */", "    if (path == NULL) {",
                        f"        fprintf(stderr, \"{noun}が見つかりません\\n\");", "        return -1;",
                        "    }", f"    return {self.rng.randint(0, 99)}; // {self.pick(NOUNS)}の数", "}", ""]
            elif language == 1:
                out += [f"# {noun}を{verb}", f"def {name}_{i}(path):",
                        f"    \"\"\"{self.sentence()}\"\"\"", "    with open(path) as f:",
                        "        for line in f:", f"            if \"{self.pick(NOUNS)}\" in line:",
                        f"                print(\"{noun}: \" + line)  # {self.pick(NOUNS)}を表示",
                        "    return None", ""]
            else:
                out += [f"// {noun}を{verb}", f"function {name}{i}(items) {{",
                        f"  const label = '{self.pick(NOUNS)}';  // {self.sentence()}",
                        "  return items.filter((x) => x.name === label);", "}", ""]
        return "\n".join(out)

    def short(self):
        forms = [
            lambda: self.pick(NOUNS),
            lambda: f"{self.pick(NOUNS)}の{self.pick(NOUNS)}",
            lambda: f"メモ：{self.pick(NOUNS)}を{self.pick(PLAIN_VERBS)}",
            lambda: f"{self.person()}さんへ",
            lambda: f"{self.pick(NOUNS)}、{self.pick(NOUNS)}、{self.pick(NOUNS)}",
            lambda: f"TODO: {self.pick(NOUNS)}",
            lambda: f"買い物\n{self.pick(NOUNS)}\n{self.pick(NOUNS)}",
            lambda: f"{self.pick(NOUNS)}は{self.predicate()}",
            lambda: f"{self.pick(OPENINGS)}{self.pick(NOUNS)}",
            lambda: f"{self.pick(ENGLISH_WORDS)} {self.pick(NOUNS)}",
            lambda: self.sentence(),
            lambda: f"{self.pick(NOUNS)}{self.extra()}",
        ]
        if self.encoding == "cp932" and self.rng.random() < 0.15:
            return self.pick(HALF_WIDTH_SHORT)
        return self.pick(forms)()

    def document(self, kind):
        r = self.rng
        if kind == "short":
            return self.short()
        if kind == "prose":
            # Now and then a long one, past the part recognition looks at.
            return self.prose(r.randint(300, 700) if r.random() < 0.04 else r.randint(1, 12))
        if kind == "mixed":
            return self.mixed(r.randint(1, 30))
        if kind == "mail":
            return self.mail()
        if kind == "csv":
            return self.csv(r.randint(1, 40))
        return self.code(r.randint(1, 6))


KINDS = ["prose"] * 5 + ["mixed"] * 3 + ["mail"] * 2 + ["csv"] * 3 + ["code"] * 3 + ["short"] * 6


def fit(text, encoding):
    """The text as a file in `encoding` can hold it; half-width katakana has no place
    in ISO-2022-JP mail, and a character the encoding lacks is left out."""
    codec = PYTHON_CODEC[encoding]
    out = []
    for ch in text:
        if encoding == "iso-2022-jp" and "\uFF61" <= ch <= "\uFF9F":
            continue
        try:
            ch.encode(codec)
        except UnicodeEncodeError:
            continue
        out.append(ch)
    return "".join(out)


def cp932_expected(text):
    """What converting the text into code page 932 gives, and how many characters
    became "?"."""
    out = bytearray()
    lost = 0
    for ch in text:
        ch = JIS_TO_CP932.get(ch, ch)
        if ch == "\n":
            out += b"\r\n"
            continue
        try:
            encoded = ch.encode("cp932")
            # Python's encoder also takes characters it maps one way only.
            if encoded.decode("cp932") != ch:
                raise UnicodeEncodeError("cp932", ch, 0, 1, "one way")
            out += encoded
        except UnicodeEncodeError:
            out += b"?"
            lost += 1
    return bytes(out), lost


def file_bytes(text, encoding, rng):
    crlf = rng.random() < (0.8 if encoding in ("cp932", "utf-16le") else 0.2)
    body = text.replace("\n", "\r\n") if crlf else text
    data = body.encode(PYTHON_CODEC[encoding])
    if encoding == "utf-8" and rng.random() < 0.2:
        data = b"\xEF\xBB\xBF" + data
    elif encoding == "utf-16le" and rng.random() < 0.9:
        data = b"\xFF\xFE" + data
    elif encoding == "utf-16be" and rng.random() < 0.9:
        data = b"\xFE\xFF" + data
    return data


def non_ascii(text):
    return any(ord(ch) > 0x7F for ch in text)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    out_dir = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) == 3 else 240
    manifest = ["file\tencoding\tkind\tlost"]
    for e_index, encoding in enumerate(ENCODINGS):
        rng = random.Random(932 + e_index)
        writer = Writer(rng, encoding)
        os.makedirs(os.path.join(out_dir, encoding), exist_ok=True)
        os.makedirs(os.path.join(out_dir, "expected", encoding), exist_ok=True)
        for i in range(count):
            kind = KINDS[i % len(KINDS)]
            text = fit(writer.document(kind), encoding)
            while not non_ascii(text):  # a file of another encoding is more than ASCII
                text = fit(writer.document(kind), encoding)
            if rng.random() < 0.3:
                text += "\n"
            name = f"{encoding}/{i:03d}-{kind}.txt"
            with open(os.path.join(out_dir, name), "wb") as f:
                f.write(file_bytes(text, encoding, rng))
            lost = 0
            if encoding != "cp932":
                expected, lost = cp932_expected(text)
                with open(os.path.join(out_dir, "expected", name), "wb") as f:
                    f.write(expected)
            manifest.append(f"{name}\t{encoding}\t{kind}\t{lost}")
    with open(os.path.join(out_dir, "manifest.tsv"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(manifest) + "\n")


if __name__ == "__main__":
    main()
