[Scene]
Name=embedded
